/* A bare SDL2 window, for measuring what any such window costs (memory,
 * idle processor time) next to the program: a 1024 x 741 window drawn through
 * its window surface with framebuffer acceleration off, filled once, then
 * polled every 10 ms until it is closed or Escape is pressed. */
#include <SDL.h>
#include <stdio.h>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "baseline_sdl: cannot open a window on the display: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("baseline_sdl", 0, 0, 1024, 741, SDL_WINDOW_SHOWN);
    if (window == NULL) {
        fprintf(stderr, "baseline_sdl: cannot open the window: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface != NULL) {
        SDL_FillRect(surface, NULL, SDL_MapRGB(surface->format, 192, 192, 192));
        SDL_UpdateWindowSurface(window);
    }
    int running = 1;
    while (running) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) running = 0;
            if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) running = 0;
            if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) running = 0;
            if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                surface = SDL_GetWindowSurface(window);
                if (surface != NULL) {
                    SDL_FillRect(surface, NULL, SDL_MapRGB(surface->format, 192, 192, 192));
                    SDL_UpdateWindowSurface(window);
                }
            }
        }
        SDL_Delay(10);
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
