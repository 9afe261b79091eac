package single;

import java.io.File;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.OutputStream;

// What the single-instance test programs share: main announces itself in
// the folder named by the property single.dir and runs until the test
// creates the file "release" there; every call is recorded in "calls.txt".
final class Control {
  private static final File DIR = new File(System.getProperty("single.dir", "."));

  private Control() {}

  static synchronized void record(String line) {
    try (OutputStream out = new FileOutputStream(new File(DIR, "calls.txt"), true)) {
      out.write((line + "\n").getBytes("UTF-8"));
    } catch (IOException e) {
      throw new RuntimeException(e);
    }
  }

  // "argc=N" and per argument " arg=" with its UTF-16 units in hex.
  static String describe(String[] args) {
    StringBuilder text = new StringBuilder("argc=" + args.length);
    for (String arg : args) {
      text.append(" arg=");
      for (int i = 0; i < arg.length(); ++i) {
        text.append(String.format(i == 0 ? "%04X" : " %04X", (int) arg.charAt(i)));
      }
    }
    return text.toString();
  }

  static void runMain(String[] args) throws Exception {
    record("main " + describe(args));
    String pid = new File("/proc/self").getCanonicalFile().getName();
    File ready = new File(DIR, "ready.tmp");
    try (OutputStream out = new FileOutputStream(ready)) {
      out.write(pid.getBytes("UTF-8"));
    }
    ready.renameTo(new File(DIR, "ready"));
    File release = new File(DIR, "release");
    for (int i = 0; i < 6000 && !release.exists(); ++i) Thread.sleep(20);
    String exit = System.getProperty("single.exit");
    if (exit != null) System.exit(Integer.parseInt(exit));
  }
}
