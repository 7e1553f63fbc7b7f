#!/usr/bin/env python3
"""From a staff list file to a finished PDF (or PNG, SVG) with `plotwell render --staff`, for
1,000 and 10,000 people: the wall time, the processor time and the peak memory of the whole
process tree (the program and the web engine's processes together, sampled every 100 ms). The
machine is shared: the processor time is the figure that another developer's build does not
inflate, and the load average is printed beside it.

    render_bench.py BUILD_DIR [PEOPLE ...] [--paper a3] [--format pdf|png|svg]
"""
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def tree(root):
    """The process and all its descendants: (pid, proportional set size in bytes, processor
    seconds) each. The proportional size shares each page among the processes that map it, so
    the web engine's libraries, mapped by every one of its processes, are counted once."""
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
    found, stack = [], [root]
    tick = os.sysconf("SC_CLK_TCK")
    while stack:
        pid = stack.pop()
        stack.extend(children.get(pid, []))
        try:
            with open("/proc/%d/smaps_rollup" % pid) as f:
                rss = next(int(l.split()[1]) * 1024 for l in f if l.startswith("Pss:"))
            with open("/proc/%d/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            found.append((pid, rss, (int(fields[11]) + int(fields[12])) / tick))
        except OSError:
            pass
    return found


def run(build, staff, output, paper):
    command = [os.path.join(build, "plotwell"), "render", "--staff", staff, "-o", output]
    if paper:
        command += ["--paper", paper]
    start = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    peak, cpu = 0, {}
    while process.poll() is None:
        found = tree(process.pid)
        peak = max(peak, sum(rss for _, rss, _ in found))
        # The last reading of each process: the sum is what the tree used up to its end.
        cpu.update({pid: seconds for pid, _, seconds in found})
        time.sleep(0.1)
    seconds = time.monotonic() - start
    if process.returncode != 0:
        sys.exit("render failed: " + process.stderr.read().decode())
    return seconds, sum(cpu.values()), peak


def main():
    args = sys.argv[1:]
    options = {"--paper": None, "--format": "pdf"}
    for name in options:
        if name in args:
            at = args.index(name)
            options[name] = args[at + 1]
            del args[at:at + 2]
    paper, suffix = options["--paper"], options["--format"]
    build = args[0]
    sizes = [int(a) for a in args[1:]] or [1000, 10000]
    limits = {1000: 3.0, 10000: 20.0}
    with open("/proc/cpuinfo") as f:
        model = next((l.split(":", 1)[1].strip() for l in f if l.startswith("model name")), "?")
    print("processor: %s, %d cores" % (model, os.cpu_count()))
    with tempfile.TemporaryDirectory() as tmp:
        for people in sizes:
            staff = os.path.join(tmp, "staff-%d.csv" % people)
            subprocess.run([sys.executable, os.path.join(HERE, "make_staff.py"), str(people), staff],
                           check=True)
            out = os.path.join(tmp, "org-%d.%s" % (people, suffix))
            load = os.getloadavg()[0]
            seconds, cpu, peak = run(build, staff, out, paper)
            pages = ""
            if suffix == "pdf":
                info = subprocess.run(["pdfinfo", out], capture_output=True, text=True).stdout
                pages = next((l.split()[-1] for l in info.splitlines() if l.startswith("Pages:")),
                             "?") + " page(s), "
            target = limits.get(people) if suffix == "pdf" else None
            print("%6d people %s  %6.2f s%s  processor %6.2f s  peak %5.0f MB  %s%.1f MB  "
                  "(load %.1f)" % (
                      people, suffix, seconds, " (target < %.0f s)" % target if target else "",
                      cpu, peak / 2**20, pages, os.path.getsize(out) / 2**20, load))


if __name__ == "__main__":
    main()
