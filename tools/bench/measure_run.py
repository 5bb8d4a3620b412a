#!/usr/bin/env python3
"""measure_run: runs one command, its standard output discarded (its error output shown
only when it fails), and prints its wall time, the processor time it used (user and
system, all its threads) and its peak resident size as one line of name=value pairs,
for scripts/bench.

    measure_run.py COMMAND [ARG...]

The peak is the largest resident size of the children this process waited for, and
it runs only the one. The child counts this process's own size (about 10 MiB) from
before it starts the command, so a smaller command shows that size instead.
"""
import resource
import subprocess
import sys
import time


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: measure_run.py COMMAND [ARG...]")
    start = time.perf_counter()
    done = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        sys.stderr.buffer.write(done.stderr)
        sys.exit(f"measure_run: {sys.argv[1]} exited with {done.returncode}")
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = usage.ru_utime + usage.ru_stime
    print(f"seconds={seconds:.6f} cpu={cpu:.6f} peak_kb={usage.ru_maxrss}")


if __name__ == "__main__":
    main()
