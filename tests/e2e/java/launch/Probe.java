package launch;

import java.lang.management.ManagementFactory;

// Prints what a launched program sees: its arguments as UTF-16 units in hex,
// then one "kind name=value" line per property, variable and JVM option.
// The property probe.action makes it exit, throw, leave a thread running or
// compare how deep main and a thread with 1 MiB of stack can recurse.
public class Probe {
  private static int depth;

  private static void descend() {
    ++depth;
    descend();
  }

  private static int measureDepth() {
    depth = 0;
    try {
      descend();
    } catch (StackOverflowError expected) {
      // the stack is used up
    }
    return depth;
  }

  public static void main(String[] args) throws Exception {
    StringBuilder text = new StringBuilder("argc=" + args.length + "\n");
    for (String argument : args) {
      text.append("arg=");
      for (int i = 0; i < argument.length(); ++i) {
        text.append(String.format(i == 0 ? "%04X" : " %04X", (int) argument.charAt(i)));
      }
      text.append('\n');
    }
    for (String name : new String[] {"java.class.path", "java.library.path", "opt.path", "opt.home"}) {
      text.append("property ").append(name).append('=').append(System.getProperty(name)).append('\n');
    }
    for (String name : new String[] {"KV_JVM_PATH", "KV_JVM_HOME", "PATH"}) {
      text.append("env ").append(name).append('=').append(System.getenv(name)).append('\n');
    }
    for (String option : ManagementFactory.getRuntimeMXBean().getInputArguments()) {
      text.append("option ").append(option).append('\n');
    }
    System.out.print(text);
    System.out.flush();
    System.err.println("main done");

    String action = System.getProperty("probe.action", "");
    if (action.startsWith("exit:")) System.exit(Integer.parseInt(action.substring(5)));
    if (action.equals("throw")) throw new IllegalStateException("boom from main");
    if (action.equals("thread")) {
      new Thread(() -> {
        try {
          Thread.sleep(1500);
        } catch (InterruptedException e) {
          return;
        }
        System.out.println("late from the non-daemon thread");
      }).start();
    }
    if (action.equals("depth")) {
      measureDepth();  // compiles descend, so that both measures run the same code
      Thread small = new Thread(null, () -> System.out.println("thread depth=" + measureDepth()), "small", 1 << 20);
      small.start();
      small.join();
      System.out.println("main depth=" + measureDepth());
    }
  }
}
