package options;

import java.lang.management.ManagementFactory;

// Prints what the launched program sees: its arguments, the system
// properties the launcher sets, the environment the launcher publishes and
// the options the JVM was created with. One line each, "kind name=value".
public class ShowOptions {
  public static void main(String[] args) {
    StringBuilder text = new StringBuilder();
    for (String argument : args) text.append("arg ").append(argument).append('\n');
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
    System.err.println("error stream of ShowOptions");
  }
}
