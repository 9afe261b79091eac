package launch;

import java.io.File;
import java.io.FileOutputStream;
import java.io.OutputStream;
import java.lang.management.ManagementFactory;

// Prints what a launched program sees: its arguments as UTF-16 units in hex,
// then one "kind name=value" line per property and variable; its JVM
// options go to standard error, so that standard output stays the same
// whatever startup cache options the launcher added.
// The property probe.action lists steps to take after that, separated by
// commas: exit with a code, throw, leave a thread running, compare how deep
// main and a thread with 1 MiB of stack can recurse, or wait like the test
// JVM: write the process id to "testjvm.ready" in the folder probe.dir and
// run until "testjvm.release" appears there or stop() is called. Probe has
// neither stop() nor secondaryMain; its subclass VoidApp adds them, and its
// secondaryMain appends its call to "testjvm.log" there, as the test JVM
// does.
public class Probe {
  private static final File DIR = new File(System.getProperty("probe.dir", "."));
  private static volatile boolean stopped;

  // main is Probe's, with a secondaryMain that returns nothing and a stop().
  public static class VoidApp extends Probe {
    public static synchronized void secondaryMain(String[] args) throws Exception {
      write("testjvm.log", "secondaryMain " + printed(args, " ") + "\n", true);
    }

    public static void stop() {
      System.out.println("stop called");
      stopped = true;
    }
  }

  // A static method, but none named main.
  public static class NoMain {
    public static void run(String[] args) {}
  }

  // How many more calls the stack takes.
  private static int depth(int reached) {
    try {
      return depth(reached + 1);
    } catch (StackOverflowError expected) {
      return reached;
    }
  }

  static String printed(String[] args, String separator) {
    StringBuilder text = new StringBuilder("argc=" + args.length);
    for (String argument : args) {
      text.append(separator).append("arg=");
      for (int i = 0; i < argument.length(); ++i) {
        text.append(String.format(i == 0 ? "%04X" : " %04X", (int) argument.charAt(i)));
      }
    }
    return text.toString();
  }

  static void write(String name, String text, boolean append) throws Exception {
    try (OutputStream out = new FileOutputStream(new File(DIR, name), append)) {
      out.write(text.getBytes("UTF-8"));
    }
  }

  public static void main(String[] args) throws Exception {
    Runtime.getRuntime().addShutdownHook(new Thread(() -> System.out.println("hook ran")));
    StringBuilder text = new StringBuilder(printed(args, "\n") + "\n");
    text.append("property opt.home=").append(System.getProperty("opt.home")).append('\n');
    for (String name : new String[] {"KV_JVM_PATH", "KV_JVM_HOME", "PATH"}) {
      text.append("env ").append(name).append('=').append(System.getenv(name)).append('\n');
    }
    System.out.print(text);
    System.out.flush();
    for (String option : ManagementFactory.getRuntimeMXBean().getInputArguments()) {
      System.err.println("option " + option);
    }
    System.err.println("main done");

    for (String action : System.getProperty("probe.action", "").split(",")) {
      if (action.startsWith("exit:")) System.exit(Integer.parseInt(action.substring(5)));
      if (action.equals("throw")) throw new IllegalStateException("boom from main");
      if (action.equals("thread")) {
        new Thread(() -> {
          try {
            Thread.sleep(1500);
            System.out.println("late from the non-daemon thread");
          } catch (InterruptedException e) {
            // the test has ended
          }
        }).start();
      }
      if (action.equals("depth")) {
        depth(0);  // compiles depth, so that both measures run the same code
        Thread small = new Thread(null, () -> System.out.println("thread depth=" + depth(0)), "small", 1 << 20);
        small.start();
        small.join();
        System.out.println("main depth=" + depth(0));
      }
      if (action.equals("wait")) {
        write("testjvm.ready.tmp", new File("/proc/self").getCanonicalFile().getName(), false);
        new File(DIR, "testjvm.ready.tmp").renameTo(new File(DIR, "testjvm.ready"));
        File release = new File(DIR, "testjvm.release");
        for (int i = 0; i < 6000 && !stopped && !release.exists(); ++i) Thread.sleep(20);
        // Written after the stop, to show that nothing is lost on the way out.
        for (int i = 0; i < 2000; i++) System.out.println("line " + i);
      }
    }
  }
}
