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
"""

import argparse
import math
import random
import shlex
import subprocess
import sys


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


def play_game(black, white, base, opening):
    """The winner (black or white program) of one game from the opening."""
    for program in (black, white):
        program.send(f"boardsize {base}")
        program.send("clear_board")
    colour = "b"
    for move in opening:
        for program in (black, white):
            program.send(f"play {colour} {move}")
        colour = "w" if colour == "b" else "b"
    players = {"b": black, "w": white}
    for _ in range(len(cell_names(base)) + 1):
        mover, other = players[colour], players["w" if colour == "b" else "b"]
        try:
            move = mover.send(f"genmove {colour}")
        except RuntimeError as error:
            print(error, file=sys.stderr)
            return other
        if move.lower() == "resign":
            return other
        try:
            other.send(f"play {colour} {move}")
        except RuntimeError as error:
            print(error, file=sys.stderr)
            return mover
        verdict = black.send("havannah_winner")
        if verdict != "none":
            return black if verdict.startswith("black") else white
        colour = "w" if colour == "b" else "b"
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--first", required=True, help="command of the first program")
    parser.add_argument("--second", required=True, help="command of the second program")
    parser.add_argument("--games", type=int, default=20, help="games, rounded up to pairs")
    parser.add_argument("--base", type=int, default=8)
    parser.add_argument("--opening", type=int, default=2, help="random stones before the programs play")
    parser.add_argument("--seed", type=int, default=1, help="seed of the random openings")
    args = parser.parse_args()

    rng = random.Random(args.seed)
    first = Player(args.first, "first")
    second = Player(args.second, "second")
    score = {first: 0.0, second: 0.0}
    as_black = {first: 0, second: 0}
    games = 0
    try:
        for _ in range((args.games + 1) // 2):
            opening = rng.sample(cell_names(args.base), args.opening)
            for black, white in ((first, second), (second, first)):
                winner = play_game(black, white, args.base, opening)
                games += 1
                if winner is None:
                    score[first] += 0.5
                    score[second] += 0.5
                else:
                    score[winner] += 1
                    as_black[winner] += winner is black
                print(f"game {games}: {black.label} black, opening {' '.join(opening)}: "
                      f"{winner.label if winner else 'nobody'} wins", flush=True)
    finally:
        first.close()
        second.close()

    rate = score[first] / games
    error = math.sqrt(rate * (1 - rate) / games)
    print(f"first {score[first]:g} - second {score[second]:g} in {games} games: "
          f"first scores {100 * rate:.1f}% +- {100 * error:.1f}% "
          f"(wins as black: first {as_black[first]}, second {as_black[second]})")


if __name__ == "__main__":
    main()
