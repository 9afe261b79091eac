#!/usr/bin/env python3
"""Start-up benchmark of the Linux launcher.

Times (median of repeated runs) one hello-world application started three
ways -- by Javelin, by the JDK's `java` command, and by a minimal JNI host --
and prints the ratios. Then measures Javelin's own cost with the test JVM
library (which creates no real JVM): wall time, and with callgrind the
instructions executed before JNI_CreateJavaVM is entered.

Then, for every JDK from 13 on installed in /usr/lib/jvm, a realistic
application (BenchWorkload: XML, streams with lambdas, java.time, regular
expressions, logging; a few thousand classes) started by `java` without a
cache, by Javelin without and by Javelin with "Startup Cache=yes" (the cache
created before the timing starts).

Usage: tools/bench/benchmark.py [--build build/linux] [--runs 21] [--workload-only]
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


def write_app(folder, name, main_class, class_path, jre_path, jre_lines="", product="Bench"):
    os.makedirs(folder, exist_ok=True)
    launcher = os.path.join(folder, name)
    shutil.copy2(os.path.join(ARGS.build, "javelin"), launcher)
    with open(os.path.join(folder, name + ".ini"), "w") as ini:
        ini.write("[Product Information]\nProduct Name=%s\nProduct Code=P1\n"
                  "[Java Runtime Environment]\nMain Class=%s\nJRE Path=%s\n%s"
                  "[Class Path]\nClass Path=%s\n" % (product, main_class, jre_path, jre_lines, class_path))
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


def feature_version(home):
    try:
        with open(os.path.join(home, "release")) as release:
            for line in release:
                if line.startswith("JAVA_VERSION="):
                    version = line.split("=", 1)[1].strip().strip('"')
                    parts = [int(p) for p in re.findall(r"\d+", version)[:2]]
                    return parts[1] if parts[0] == 1 else parts[0]
    except (OSError, ValueError, IndexError):
        pass
    return 0


def installed_jdks():
    """One JDK per feature version from 13 on (links to one JDK count once)."""
    found = {}
    for home in sorted(glob.glob("/usr/lib/jvm/*")):
        version = feature_version(home)
        if (version >= 13 and version not in found
                and os.path.exists(os.path.join(home, "lib", "server", "libjvm.so"))
                and os.path.exists(os.path.join(home, "bin", "javac"))):
            found[version] = home
    return sorted(found.items())


def wait_for_cache(folder, seconds=120):
    """JDK 25 assembles its cache in the background after the first start."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        names = os.listdir(folder) if os.path.isdir(folder) else []
        if any(re.match(r"[0-9a-f]{16}-\d+\.(jsa|aot)$", n) for n in names) and \
                not any(n.endswith((".tmp", ".aotconf")) for n in names):
            return [n for n in names if n.endswith((".jsa", ".aot"))]
        time.sleep(0.2)
    sys.exit("no startup cache appeared in %s" % folder)


def workload(work):
    """Javelin with the startup cache against `java` without it, per JDK."""
    cache_home = os.path.join(work, "cache-home")
    os.environ["XDG_CACHE_HOME"] = cache_home
    for version, jdk in installed_jdks():
        base = os.path.join(work, "workload-%d" % version)
        classes = os.path.join(base, "classes")
        subprocess.run([os.path.join(jdk, "bin", "javac"), "-nowarn", "-d", classes,
                        os.path.join(HERE, "BenchWorkload.java")], check=True)
        jar = os.path.join(base, "workload.jar")
        subprocess.run([os.path.join(jdk, "bin", "jar"), "cf", jar, "-C", classes, "."], check=True)
        plain = write_app(os.path.join(base, "plain"), "plain", "BenchWorkload", jar, jdk)
        cached = write_app(os.path.join(base, "cached"), "cached", "BenchWorkload", jar, jdk,
                           "Startup Cache=yes\n", "Bench Workload %d" % version)
        commands = {
            "java": [os.path.join(jdk, "bin", "java"), "-cp", jar, "BenchWorkload"],
            "javelin": [plain],
            "javelin + cache": [cached],
        }
        expected = run_once(commands["java"])[1]
        if b"workload ok" not in expected:
            sys.exit("the workload printed %r" % expected)
        run_once(commands["javelin + cache"])
        files = wait_for_cache(os.path.join(cache_home, "Bench Workload %d" % version, "P1"))
        for name, command in commands.items():
            output = run_once(command)[1]
            if output != expected:
                sys.exit("%s printed %r instead of %r" % (name, output, expected))
        classes_loaded = subprocess.run(
            [os.path.join(jdk, "bin", "java"), "-Xlog:class+load=info", "-cp", jar, "BenchWorkload"],
            stdout=subprocess.PIPE, check=True).stdout.count(b"[class,load]")
        medians = median_times(commands, ARGS.runs)
        print("Workload with Java %d (%s, %d classes loaded, cache %s), median of %d runs:"
              % (version, jdk, classes_loaded, files[0], ARGS.runs))
        for name, value in medians.items():
            print("  %-18s %8.1f ms" % (name, value * 1000))
        print("  javelin + cache / java       %.3f" % (medians["javelin + cache"] / medians["java"]))
        print("  javelin / java               %.3f" % (medians["javelin"] / medians["java"]))


def main():
    build = os.path.abspath(ARGS.build)
    if ARGS.workload_only:
        work = tempfile.mkdtemp(prefix="javelin-bench-")
        try:
            workload(work)
        finally:
            shutil.rmtree(work, ignore_errors=True)
        return
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
        workload(work)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "linux"))
    parser.add_argument("--runs", type=int, default=21)
    parser.add_argument("--jdk", help="JDK home (default: the one the build used)")
    parser.add_argument("--workload-only", action="store_true",
                        help="only the realistic workload with and without the startup cache")
    ARGS = parser.parse_args()
    main()
