#!/usr/bin/env python3
# bench/bench_table.py - turns the output of every benchmark into one table.
"""Reads the benchmarks' output from standard input: a line "== NAME" before
each program's lines, and in them figures of the form

    <what>   <figure> <unit>   goal <op> <value> [unit]: met|MISSED

(the goal part may be missing). Writes one Markdown table; lines that carry
no figure become rows with the line as the measurement."""
import re
import sys

FIGURE = re.compile(r"^(?P<what>.*?\S)\s{2,}(?P<figure>-?\d+(?:\.\d+)?|no figure)(?:\s+(?P<unit>.*))?$")
GOAL = re.compile(r"^(?P<goal>(?:<=|<|>=|>) .*?): (?P<verdict>met|MISSED)$")


def rows(lines):
    program = ""
    for line in lines:
        line = line.rstrip("\r\n")
        if not line.strip():
            continue
        if line.startswith("== "):
            program = line[3:].strip()
            continue
        figure_part, _, goal_part = line.partition("   goal ")
        goal = GOAL.match(goal_part.strip()) if goal_part else None
        match = FIGURE.match(figure_part.rstrip())
        if match:
            unit = (match.group("unit") or "").strip()
            yield (program, match.group("what").strip(),
                   match.group("figure") + (" " + unit if unit else ""),
                   goal.group("goal") if goal else "", goal.group("verdict") if goal else "")
        else:
            # A line without a number: a note, or a result in words.
            parts = re.split(r"\s{2,}", line.strip(), maxsplit=1)
            yield (program, parts[0], parts[1] if len(parts) > 1 else "", "", "")


def main():
    header = ("Benchmark", "Measurement", "Figure", "Goal", "")
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
