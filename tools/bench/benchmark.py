#!/usr/bin/env python3
"""Start-up benchmark of the Linux launcher.

Times (median of repeated runs) one hello-world application started three
ways -- by Javelin, by the JDK's `java` command, and by a minimal JNI host --
and prints the ratios. Then measures Javelin's own cost with the test JVM
library (which creates no real JVM): wall time, and with callgrind the
instructions executed before JNI_CreateJavaVM is entered.

Usage: tools/bench/benchmark.py [--build build/linux] [--runs 21]
"""
import argparse
import glob
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def cache_value(build, name):
    with open(os.path.join(build, "CMakeCache.txt")) as cache:
        for line in cache:
            if line.startswith(name + ":"):
                return line.split("=", 1)[1].strip()
    return None


def run_once(command, cwd=None):
    start = time.perf_counter()
    done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit("%s failed (%d): %s%s" % (command[0], done.returncode,
                                           done.stdout.decode(errors="replace"),
                                           done.stderr.decode(errors="replace")))
    return elapsed, done.stdout


def median_times(commands, runs, warmup=3):
    """Runs the commands interleaved so that machine noise hits all alike."""
    times = {name: [] for name in commands}
    for _ in range(warmup):
        for command in commands.values():
            run_once(command)
    for _ in range(runs):
        for name, command in commands.items():
            times[name].append(run_once(command)[0])
    return {name: statistics.median(values) for name, values in times.items()}


def write_app(folder, name, main_class, class_path, jre_path):
    os.makedirs(folder, exist_ok=True)
    launcher = os.path.join(folder, name)
    shutil.copy2(os.path.join(ARGS.build, "javelin"), launcher)
    with open(os.path.join(folder, name + ".ini"), "w") as ini:
        ini.write("[Java Runtime Environment]\nMain Class=%s\nJRE Path=%s\n"
                  "[Class Path]\nClass Path=%s\n" % (main_class, jre_path, class_path))
    return launcher


def callgrind_instructions_before_create(command, work):
    """Instructions executed up to the entry of JNI_CreateJavaVM."""
    if shutil.which("valgrind") is None:
        return None
    out = os.path.join(work, "callgrind.out")
    subprocess.run(["valgrind", "--tool=callgrind", "--dump-before=JNI_CreateJavaVM",
                    "--callgrind-out-file=" + out] + command,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    parts = sorted(glob.glob(out + ".*"))
    if not parts:
        return None
    with open(parts[0]) as first:
        for line in first:
            match = re.match(r"(?:totals|summary):\s+(\d+)", line)
            if match:
                return int(match.group(1))
    return None


def main():
    build = os.path.abspath(ARGS.build)
    jdk = ARGS.jdk or cache_value(build, "JAVELIN_JDK_HOME")
    libjvm = os.path.join(jdk, "lib", "server", "libjvm.so")
    work = tempfile.mkdtemp(prefix="javelin-bench-")
    try:
        classes = os.path.join(work, "classes")
        subprocess.run([os.path.join(jdk, "bin", "javac"), "-d", classes,
                        os.path.join(HERE, "BenchHello.java")], check=True)
        host = os.path.join(work, "minimal_jni_host")
        subprocess.run(["cc", "-O2", "-o", host, os.path.join(HERE, "minimal_jni_host.c"),
                        "-I", os.path.join(jdk, "include"),
                        "-I", os.path.join(jdk, "include", "linux"), "-ldl"], check=True)
        launcher = write_app(os.path.join(work, "app"), "bench", "BenchHello", classes, jdk)

        commands = {
            "javelin": [launcher],
            "java": [os.path.join(jdk, "bin", "java"), "-cp", classes, "BenchHello"],
            "minimal JNI host": [host, libjvm, classes, "BenchHello"],
        }
        for name, command in commands.items():
            output = run_once(command)[1]
            if output.strip() != b"hello":
                sys.exit("%s printed %r instead of hello" % (name, output))
        medians = median_times(commands, ARGS.runs)
        print("Hello world with the JDK at %s, median of %d runs:" % (jdk, ARGS.runs))
        for name, value in medians.items():
            print("  %-18s %8.1f ms" % (name, value * 1000))
        print("  javelin / java               %.3f" % (medians["javelin"] / medians["java"]))
        print("  javelin / minimal JNI host   %.3f" % (medians["javelin"] / medians["minimal JNI host"]))

        test_jvm = os.path.join(build, "tests", "jvm.so")
        if os.path.exists(test_jvm):
            home = os.path.join(work, "testjvm-home")
            os.makedirs(os.path.join(home, "lib", "server"))
            shutil.copy2(test_jvm, os.path.join(home, "lib", "server", "libjvm.so"))
            open(os.path.join(home, "lib", "libjava.so"), "w").close()
            own = write_app(os.path.join(work, "own"), "own", "Own", classes, home)
            baseline = [shutil.which("true")]
            own_medians = median_times({"javelin": [own], "true": baseline}, ARGS.runs)
            print("Javelin's own cost with the test JVM, median of %d runs:" % ARGS.runs)
            print("  wall time                    %8.2f ms (process start of /bin/true: %.2f ms)"
                  % (own_medians["javelin"] * 1000, own_medians["true"] * 1000))
            instructions = callgrind_instructions_before_create([own], work)
            if instructions is not None:
                print("  instructions before JNI_CreateJavaVM  %d (%.2f million)"
                      % (instructions, instructions / 1e6))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "linux"))
    parser.add_argument("--runs", type=int, default=21)
    parser.add_argument("--jdk", help="JDK home (default: the one the build used)")
    ARGS = parser.parse_args()
    main()
