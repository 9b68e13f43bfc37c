// What the board page says about the line studied: where the line shown
// leaves another, on the panel's message line, and the comment of the move
// shown under the move list. Both are drawn when the position or the line
// changes; a game without variations or comments shows neither.
#include "app/context.h"
#include "app/shell.h"
#include "game/navigation.h"
#include "game/variations.h"

namespace tarnwick {

bool showStudyNotes(App& app) {
    StudyFields& s = app.study;
    if (app.shell.ActiveTab != MainTab || app.platform.windowSize().width == 0) {
        // The page is drawn anew on the way back: so are the notes.
        s.ShownAt.reset();
        s.CommentShown = false;
        return false;
    }
    const game::GameFields& g = app.game;
    const std::pair<int, std::uint64_t> now{g.CurrentMove, g.Moves.revision()};
    if (s.ShownAt == now) return false;
    s.ShownAt = now;
    // The position's note was drawn anew with the position, which cleared
    // the message line.
    bool drew = false;
    if (const std::string note = game::variationNote(g); !note.empty()) {
        showPanelMessage(app, note);
        drew = true;
    }
    const std::string comment = game::shownComment(g);
    if (!comment.empty() || s.CommentShown) {
        game::drawComment(gameOf(app), comment);
        drew = true;
    }
    s.CommentShown = !comment.empty();
    return drew;
}

}  // namespace tarnwick
