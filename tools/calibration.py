#!/usr/bin/env python3
"""Bins the self-play samples of tarnwick-calibrate: the win rate the engine
reported for the side to move against how often that side then won.

    build/bin/tarnwick-calibrate --games 40 --seconds 1 > samples.csv
    tools/calibration.py samples.csv --plot docs/calibration.png > docs/calibration.md

Positions the search had proven are counted apart (their rate is 0 or 1 and
certain). The table has ten bins of the reported rate; the error is the
binomial standard error of the observed share, which flatters it somewhat,
since positions of one game are not independent. A logistic fit of the
outcome on the logit of the rate (won ~ sigmoid(a * logit(rate) + b)) says
whether the rates are too sure (a < 1) or too shy (a > 1); with --fitted the
plot also shows the fitted mapping applied; with --test, the plot shows
samples kept apart from the fit, before and after it. Standard library and
ImageMagick's convert for the plot.
"""

import argparse
import csv
import math
import subprocess
import sys


def read_samples(paths):
    """(rate, won) of every unproven position, and the count of proven ones."""
    samples, proven = [], 0
    for path in paths:
        with open(path, newline="") as file:
            for row in csv.DictReader(file):
                if row["proven"] == "1":
                    proven += 1
                    continue
                samples.append((float(row["rate"]), int(row["won"])))
    return samples, proven


def bins_of(samples, mapping=lambda rate: rate):
    """Ten bins: (low, high, count, mean reported rate, observed share, its error)."""
    bins = []
    for i in range(10):
        low, high = i / 10, (i + 1) / 10
        inside = [(mapping(r), w) for r, w in samples if low <= mapping(r) < high or (i == 9 and mapping(r) == 1)]
        if not inside:
            bins.append((low, high, 0, None, None, None))
            continue
        n = len(inside)
        mean = sum(r for r, _ in inside) / n
        share = sum(w for _, w in inside) / n
        bins.append((low, high, n, mean, share, math.sqrt(max(share * (1 - share), 1 / n) / n)))
    return bins


def logit(p):
    p = min(max(p, 1e-4), 1 - 1e-4)
    return math.log(p / (1 - p))


def fit(samples):
    """a, b of won ~ sigmoid(a * logit(rate) + b), by Newton's method on the likelihood."""
    a, b = 1.0, 0.0
    for _ in range(50):
        ga = gb = haa = hab = hbb = 0.0
        for rate, won in samples:
            x = logit(rate)
            p = 1 / (1 + math.exp(-(a * x + b)))
            ga += (won - p) * x
            gb += won - p
            w = p * (1 - p)
            haa += w * x * x
            hab += w * x
            hbb += w
        det = haa * hbb - hab * hab
        if det <= 0:
            break
        da = (hbb * ga - hab * gb) / det
        db = (haa * gb - hab * ga) / det
        a, b = a + da, b + db
        if abs(da) + abs(db) < 1e-9:
            break
    return a, b


def table(title, bins):
    lines = [f"### {title}", "", "| reported | positions | mean reported | won | +- |", "|---|---|---|---|---|"]
    for low, high, n, mean, share, error in bins:
        if n == 0:
            lines.append(f"| {low:.1f}-{high:.1f} | 0 | | | |")
        else:
            lines.append(f"| {low:.1f}-{high:.1f} | {n} | {mean:.3f} | {share:.3f} | {error:.3f} |")
    return "\n".join(lines)


FONT = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"


def plot(series, path):
    """A reliability plot, drawn by ImageMagick: reported rate across,
    observed share up, one line with error bars a series."""
    size, margin = 360, 56
    scale = lambda v: margin + v * size
    diagonal = ["fill none", "stroke gray60", "stroke-dasharray 4 4", f"line {scale(0)},{scale(1)} {scale(1)},{scale(0)}"]
    draw = ["fill none", "stroke black", f"rectangle {margin},{margin} {margin + size},{margin + size}"]
    text = ["stroke none", "fill black", "font-size 12"]
    for i in range(11):
        v = i / 10
        text.append(f"text {scale(v) - 8:.0f},{margin + size + 16} '{v:.1f}'")
        text.append(f"text {margin - 28},{scale(1 - v) + 4:.0f} '{v:.1f}'")
    text.append(f"text {margin + 60},{margin + size + 38} 'win rate reported for the side to move'")
    text.append(f"text {margin + 10},{margin - 10} 'share of those positions the side to move won'")
    for index, (label, colour, bins) in enumerate(series):
        points = [(mean, share, error) for _, _, n, mean, share, error in bins if n > 0]
        draw += [f"stroke {colour}", "stroke-width 2", "fill none",
                 "polyline " + " ".join(f"{scale(m):.1f},{scale(1 - s):.1f}" for m, s, _ in points),
                 "stroke-width 1"]
        for m, s, e in points:
            top, bottom = min(s + e, 1), max(s - e, 0)
            draw.append(f"line {scale(m):.1f},{scale(1 - top):.1f} {scale(m):.1f},{scale(1 - bottom):.1f}")
            draw.append(f"circle {scale(m):.1f},{scale(1 - s):.1f} {scale(m) + 3:.1f},{scale(1 - s):.1f}")
        text.append(f"fill {colour}")
        text.append(f"text {margin + 10},{margin + 20 + 16 * index} '{label}'")
    subprocess.run(["convert", "-size", f"{size + 2 * margin}x{size + 2 * margin}", "xc:white", "-font", FONT,
                    "-draw", " ".join(diagonal), "-draw", " ".join(draw), "-draw", " ".join(text), "-strip", path],
                   check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("samples", nargs="+", help="files written by tarnwick-calibrate")
    parser.add_argument("--plot", help="write the reliability plot here (PNG, by ImageMagick)")
    parser.add_argument("--fitted", action="store_true", help="also show the fitted mapping applied")
    parser.add_argument("--test", nargs="+", default=[],
                        help="samples kept apart: binned as reported and with the mapping fitted on the others")
    args = parser.parse_args()

    samples, proven = read_samples(args.samples)
    if not samples:
        sys.exit("calibration: no unproven positions in the samples")
    a, b = fit(samples)
    mapped = lambda rate: 1 / (1 + math.exp(-(a * logit(rate) + b)))
    before = bins_of(samples)
    print(f"{len(samples)} positions searched and not proven, {proven} proven (left out).")
    print(f"Logistic fit: won ~ sigmoid({a:.3f} * logit(rate) + {b:+.3f}) "
          f"({'too sure' if a < 1 else 'too shy'} by the slope).\n")
    print(table("As reported", before))
    series = [("as reported", "firebrick", before)]
    if args.fitted:
        after = bins_of(samples, mapped)
        print()
        print(table("After the fitted mapping", after))
        series.append(("after the fitted mapping", "royalblue", after))
    if args.test:
        test, _ = read_samples(args.test)
        print()
        print(table(f"Kept apart ({len(test)} positions), as reported", bins_of(test)))
        print()
        print(table("Kept apart, after the mapping fitted on the others", bins_of(test, mapped)))
        series = [("as reported (kept apart)", "firebrick", bins_of(test)),
                  ("after the mapping fitted on the others", "royalblue", bins_of(test, mapped))]
    if args.plot:
        plot(series, args.plot)


if __name__ == "__main__":
    main()
