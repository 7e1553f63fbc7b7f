#!/usr/bin/env python3
"""From a staff list file to a finished PDF with `plotwell render --staff`, for 1,000 and 10,000
people: the wall time and the peak memory of the whole process tree (the program and the web
engine's processes together, sampled every 20 ms).

    render_bench.py BUILD_DIR [PEOPLE ...] [--paper a3]
"""
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def tree_rss(root):
    """The resident memory of a process and all its descendants, in bytes."""
    children = {}
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            children.setdefault(int(fields[1]), []).append(int(pid))
        except OSError:
            continue
    total, stack = 0, [root]
    while stack:
        pid = stack.pop()
        stack.extend(children.get(pid, []))
        try:
            with open("/proc/%d/statm" % pid) as f:
                total += int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")
        except OSError:
            pass
    return total


def run(build, staff, output, paper):
    command = [os.path.join(build, "plotwell"), "render", "--staff", staff, "-o", output]
    if paper:
        command += ["--paper", paper]
    start = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    peak = 0
    while process.poll() is None:
        peak = max(peak, tree_rss(process.pid))
        time.sleep(0.02)
    seconds = time.monotonic() - start
    if process.returncode != 0:
        sys.exit("render failed: " + process.stderr.read().decode())
    return seconds, peak


def main():
    args = [a for a in sys.argv[1:]]
    paper = None
    if "--paper" in args:
        paper = args[args.index("--paper") + 1]
        del args[args.index("--paper"):args.index("--paper") + 2]
    build = args[0]
    sizes = [int(a) for a in args[1:]] or [1000, 10000]
    limits = {1000: 3.0, 10000: 20.0}
    with tempfile.TemporaryDirectory() as tmp:
        for people in sizes:
            staff = os.path.join(tmp, "staff-%d.csv" % people)
            subprocess.run([sys.executable, os.path.join(HERE, "make_staff.py"), str(people), staff],
                           check=True)
            pdf = os.path.join(tmp, "org-%d.pdf" % people)
            seconds, peak = run(build, staff, pdf, paper)
            pages = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
            pages = next((l.split()[-1] for l in pages.splitlines() if l.startswith("Pages:")), "?")
            target = limits.get(people)
            print("%6d people  %6.2f s%s  peak %5.0f MB  %s page(s), %.1f MB" % (
                people, seconds, " (target < %.0f s)" % target if target else "",
                peak / 2**20, pages, os.path.getsize(pdf) / 2**20))


if __name__ == "__main__":
    main()
