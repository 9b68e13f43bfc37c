#!/usr/bin/env python3
"""Plays two GTP programs against each other and reports the score.

    tools/match.py --first "build/bin/tarnwick-gtp --playouts 2000" \\
                   --second "build/bin/tarnwick-gtp --playouts 2000 --no-rave" \\
                   --games 40 --base 8

Games come in pairs: each pair starts from the same random opening (a few
stones on random cells, the same for both games) and the programs swap
colours between the two games, so neither gains from the opening or from
moving first. The referee is the first program's `havannah_winner`; a
program that resigns, answers an error or makes an illegal move loses the
game. Standard library only.

With --time the referee keeps a clock of that many seconds a game for each
program (absolute time): it times each genmove from sending it to reading
the answer, and a program whose clock runs out loses the game on time. The
programs named by --tell are sent `time_settings` (and with --time-left a
`time_left` before each genmove); the others play as their command lines
say, on the same clock:

    tools/match.py --first "build/bin/tarnwick-gtp" \
                   --second "build/bin/tarnwick-gtp --seconds 0.5" \
                   --time 20 --tell first --games 20
"""

import argparse
import math
import random
import shlex
import subprocess
import sys
import time


class Player:
    """A GTP program on pipes."""

    def __init__(self, command, label):
        self.label = label
        self.process = subprocess.Popen(shlex.split(command), stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True, bufsize=1)

    def send(self, command):
        """The answer's text, or raises on a `?` answer."""
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        lines = []
        while True:
            line = self.process.stdout.readline()
            if line == "":
                raise RuntimeError(f"{self.label} ended during '{command}'")
            line = line.rstrip("\n")
            if line == "" and lines:
                break
            if line != "" or lines:
                lines.append(line)
        answer = "\n".join(lines)
        if answer.startswith("?"):
            raise RuntimeError(f"{self.label} refused '{command}': {answer}")
        return answer[1:].strip()

    def close(self):
        try:
            self.send("quit")
        except (RuntimeError, BrokenPipeError):
            pass
        self.process.wait(timeout=10)


def cell_names(base):
    """Every cell name of a board of this base: column letter, position from 1."""
    names = []
    for column in range(1, 2 * base):
        length = 2 * base - 1 - abs(column - base)
        names += [f"{chr(ord('A') + column - 1)}{p}" for p in range(1, length + 1)]
    return names


class Clocks:
    """The referee's clocks: absolute time per program and game, or none."""

    def __init__(self, seconds, told, time_left):
        self.seconds = seconds
        self.told = told
        self.time_left = time_left
        self.used = {}
        self.moves = {}

    def new_game(self, programs):
        for program in programs:
            self.used[program] = 0.0
            self.moves[program] = 0
            if self.seconds is not None and program in self.told:
                program.send(f"time_settings {self.seconds:g} 0 0")

    def genmove(self, program, colour):
        """The move, and whether the program's clock ran out making it."""
        if self.seconds is not None and self.time_left and program in self.told:
            left = max(self.seconds - self.used[program], 0.0)
            program.send(f"time_left {colour} {left:.3f} 0")
        began = time.perf_counter()
        move = program.send(f"genmove {colour}")
        self.used[program] += time.perf_counter() - began
        self.moves[program] += 1
        return move, self.seconds is not None and self.used[program] > self.seconds


def play_game(black, white, base, opening, clocks):
    """The winner (black or white program) of one game from the opening, and
    whether it was won on time."""
    for program in (black, white):
        program.send(f"boardsize {base}")
        program.send("clear_board")
    clocks.new_game((black, white))
    colour = "b"
    for move in opening:
        for program in (black, white):
            program.send(f"play {colour} {move}")
        colour = "w" if colour == "b" else "b"
    players = {"b": black, "w": white}
    for _ in range(len(cell_names(base)) + 1):
        mover, other = players[colour], players["w" if colour == "b" else "b"]
        try:
            move, flagged = clocks.genmove(mover, colour)
        except RuntimeError as error:
            print(error, file=sys.stderr)
            return other, False
        if flagged:
            return other, True
        if move.lower() == "resign":
            return other, False
        try:
            other.send(f"play {colour} {move}")
        except RuntimeError as error:
            print(error, file=sys.stderr)
            return mover, False
        verdict = black.send("havannah_winner")
        if verdict != "none":
            return (black if verdict.startswith("black") else white), False
        colour = "w" if colour == "b" else "b"
    return None, False


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--first", required=True, help="command of the first program")
    parser.add_argument("--second", required=True, help="command of the second program")
    parser.add_argument("--games", type=int, default=20, help="games, rounded up to pairs")
    parser.add_argument("--base", type=int, default=8)
    parser.add_argument("--opening", type=int, default=2, help="random stones before the programs play")
    parser.add_argument("--seed", type=int, default=1, help="seed of the random openings")
    parser.add_argument("--time", type=float, help="seconds a game for each program (absolute time)")
    parser.add_argument("--tell", choices=("first", "second", "both", "neither"), default="both",
                        help="the programs sent time_settings")
    parser.add_argument("--time-left", action="store_true", help="send time_left before each genmove")
    args = parser.parse_args()

    rng = random.Random(args.seed)
    first = Player(args.first, "first")
    second = Player(args.second, "second")
    told = {"first": {first}, "second": {second}, "both": {first, second}, "neither": set()}[args.tell]
    clocks = Clocks(args.time, told, args.time_left)
    score = {first: 0.0, second: 0.0}
    as_black = {first: 0, second: 0}
    on_time = {first: 0, second: 0}
    most = {first: 0.0, second: 0.0}
    games = 0
    try:
        for _ in range((args.games + 1) // 2):
            opening = rng.sample(cell_names(args.base), args.opening)
            for black, white in ((first, second), (second, first)):
                winner, flagged = play_game(black, white, args.base, opening, clocks)
                games += 1
                if flagged:
                    on_time[winner] += 1
                for program in (first, second):
                    most[program] = max(most[program], clocks.used[program])
                if winner is None:
                    score[first] += 0.5
                    score[second] += 0.5
                else:
                    score[winner] += 1
                    as_black[winner] += winner is black
                print(f"game {games}: {black.label} black, opening {' '.join(opening)}: "
                      f"{winner.label if winner else 'nobody'} wins{' on time' if flagged else ''}; "
                      f"moves {clocks.moves[first]} + {clocks.moves[second]}, "
                      f"seconds first {clocks.used[first]:.2f} second {clocks.used[second]:.2f}", flush=True)
    finally:
        first.close()
        second.close()

    rate = score[first] / games
    error = math.sqrt(rate * (1 - rate) / games)
    print(f"first {score[first]:g} - second {score[second]:g} in {games} games: "
          f"first scores {100 * rate:.1f}% +- {100 * error:.1f}% "
          f"(wins as black: first {as_black[first]}, second {as_black[second]})")
    print(f"wins on time: first {on_time[first]}, second {on_time[second]}; most seconds in a game: "
          f"first {most[first]:.2f}, second {most[second]:.2f}")


if __name__ == "__main__":
    main()
