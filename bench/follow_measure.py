"""Measures session-stats --follow on a log, as bench/follow.sh runs it.

  follow_measure.py latency TOOL DIR PLAYER FORMAT APPENDS
    Follows DIR/sessionlog.txt for PLAYER with --format=FORMAT, opens a
    session of PLAYER, then appends APPENDS result lines one at a time,
    each after the output of the one before was written and a pause longer
    than the tool's shortest time between writes. Prints the median and the
    95th percentile, in milliseconds, of the time from each append to the
    output replaced (a new file at its path).

  follow_measure.py idle TOOL DIR PLAYER SECONDS
    Prints the CPU the follower spends (user + system, in % of one core)
    over SECONDS of a log that does not change.

  follow_measure.py memory TOOL DIR PLAYER FORMAT MATCHES
    Prints the follower's resident memory after its first output and after
    MATCHES result lines were appended (in sessions of 100), in MiB.
"""

import os
import statistics
import subprocess
import sys
import time

RESULT = (b"2026-12-01 20:00:00 Player 1 wins match 2-1 : "
          b"Sion vs Ciel (60 seconds)\n")
# Longer than the tool's shortest time between two writes (250 ms).
PAUSE = 0.3
POLL = 0.0005


def start(tool, folder, player, fmt, output):
    process = subprocess.Popen(
        [tool, "-p", player, "--follow", "--format=" + fmt, "-o", output],
        cwd=folder, stderr=subprocess.DEVNULL)
    path = os.path.join(folder, output)
    deadline = time.monotonic() + 120
    while not os.path.exists(path):
        if time.monotonic() > deadline or process.poll() is not None:
            sys.exit("no first output")
        time.sleep(0.01)
    return process, path


def identity(path):
    try:
        status = os.stat(path)
        return status.st_ino, status.st_mtime_ns
    except FileNotFoundError:
        return None


def append_and_wait(log, data, path):
    before = identity(path)
    began = time.perf_counter()
    log.write(data)
    log.flush()
    deadline = time.monotonic() + 30
    while identity(path) == before:
        if time.monotonic() > deadline:
            sys.exit("the output was not replaced")
        time.sleep(POLL)
    return time.perf_counter() - began


def open_session(folder, player):
    log = open(os.path.join(folder, "sessionlog.txt"), "ab", buffering=0)
    return log, (b"2026-12-01 19:59:00 Session start. Players: " +
                 player.encode() + b" vs Bench Opponent\n")


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def resident_mib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


def main(argv):
    mode, tool, folder, player = argv[1:5]
    if mode == "latency":
        fmt, appends = argv[5], int(argv[6])
        process, path = start(tool, folder, player, fmt, "live.out")
        log, start_line = open_session(folder, player)
        time.sleep(PAUSE)
        append_and_wait(log, start_line, path)
        times = []
        for _ in range(appends):
            time.sleep(PAUSE)
            times.append(append_and_wait(log, RESULT, path) * 1000)
        print(f"{statistics.median(times):.1f} {percentile(times, 0.95):.1f}")
    elif mode == "idle":
        seconds = float(argv[5])
        process, _ = start(tool, folder, player, "overlay", "live.out")
        time.sleep(2)  # the first read and write are done
        before = cpu_seconds(process.pid)
        time.sleep(seconds)
        used = cpu_seconds(process.pid) - before
        print(f"{100 * used / seconds:.3f}")
    elif mode == "memory":
        fmt, matches = argv[5], int(argv[6])
        process, path = start(tool, folder, player, fmt, "live.out")
        time.sleep(2)
        first = resident_mib(process.pid)
        log, start_line = open_session(folder, player)
        sessions = matches // 100
        for index in range(sessions):
            data = start_line + RESULT * 100
            if index + 1 < sessions:
                log.write(data)
            else:
                append_and_wait(log, data, path)
        time.sleep(PAUSE * 2)
        print(f"{first:.1f} {resident_mib(process.pid):.1f}")
    else:
        print(__doc__, file=sys.stderr)
        return 2
    process.terminate()
    process.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
