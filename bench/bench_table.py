#!/usr/bin/env python3
# bench/bench_table.py - turns the output of every benchmark into one table.
"""Reads the benchmarks' output from standard input: a line "== NAME" before
each program's lines, and in them figures of the form

    <what>   <figure> <unit>   goal <goal>: met|MISSED

or, for a figure taken several times,

    <what>   min <a> median <b> max <c> <unit>   ratio <r>   goal <goal>: met|MISSED

(the ratio and goal parts may be missing). Writes one Markdown table; lines
that carry no figure become rows with the line as the measurement. A
series' unit goes into its measurement, in parentheses."""
import re
import sys

NUMBER = r"-?\d+(?:\.\d+)?"
FIGURE = re.compile(r"^(?P<what>.*?\S)\s{2,}(?P<figure>" + NUMBER
                    + r"|no figure)(?:\s+(?P<unit>.*))?$")
SERIES = re.compile(r"^(?P<what>.*?\S)\s{2,}min (?P<min>" + NUMBER + r") median (?P<median>"
                    + NUMBER + r") max (?P<max>" + NUMBER + r")(?:\s+(?P<unit>.*))?$")
# The parts after the figure, each set off by three or more spaces.
PARTS = re.compile(r"\s{3,}(?=(?:ratio|goal) )")
GOAL = re.compile(r"^goal (?P<goal>.+?): (?P<verdict>met|MISSED)$")
HEADER = ("Benchmark", "Measurement", "Figure", "Min", "Median", "Max", "Ratio", "Goal",
          "Verdict")


def rows(lines):
    program = ""
    for line in lines:
        line = line.rstrip("\r\n")
        if not line.strip():
            continue
        if line.startswith("== "):
            program = line[3:].strip()
            continue
        figure_part, *rest = PARTS.split(line.rstrip())
        ratio = goal = verdict = ""
        for part in rest:
            if part.startswith("ratio "):
                ratio = part[len("ratio "):].strip()
            elif GOAL.match(part):
                goal, verdict = GOAL.match(part).group("goal", "verdict")
        series = SERIES.match(figure_part)
        single = FIGURE.match(figure_part)
        if series:
            unit = (series.group("unit") or "").strip()
            what = series.group("what") + (" (" + unit + ")" if unit else "")
            yield (program, what, "", series.group("min"), series.group("median"),
                   series.group("max"), ratio, goal, verdict)
        elif single:
            unit = (single.group("unit") or "").strip()
            yield (program, single.group("what"),
                   single.group("figure") + (" " + unit if unit else ""), "", "", "", ratio,
                   goal, verdict)
        else:
            # A line without a number: a note, or a result in words.
            parts = re.split(r"\s{2,}", line.strip(), maxsplit=1)
            yield (program, parts[0], parts[1] if len(parts) > 1 else "", "", "", "", "", "",
                   "")


def main():
    header = HEADER
    table = [header] + list(rows(sys.stdin))
    widths = [max(len(row[column]) for row in table) for column in range(len(header))]

    def line(row):
        return "| " + " | ".join(cell.ljust(width) for cell, width in zip(row, widths)) + " |"

    print(line(header))
    print("|" + "|".join("-" * (width + 2) for width in widths) + "|")
    for row in table[1:]:
        print(line(row))


if __name__ == "__main__":
    main()
