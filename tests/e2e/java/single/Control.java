package single;

import java.io.File;
import java.io.FileOutputStream;
import java.io.OutputStream;

// What the single-instance test programs share: main records its call in
// "calls.txt" of the folder named by the property single.dir, writes its
// process id to "ready" there and runs until the test creates "release".
final class Control {
  private static final File DIR = new File(System.getProperty("single.dir", "."));

  private Control() {}

  // Appends "<method> argc=N" and per argument " arg=" with its UTF-16
  // units in hex.
  static synchronized void record(String method, String[] args) throws Exception {
    StringBuilder line = new StringBuilder(method + " argc=" + args.length);
    for (String arg : args) {
      line.append(" arg=");
      for (int i = 0; i < arg.length(); ++i) line.append(String.format(i == 0 ? "%04X" : " %04X", (int) arg.charAt(i)));
    }
    write(new File(DIR, "calls.txt"), line + "\n", true);
  }

  static void write(File file, String text, boolean append) throws Exception {
    try (OutputStream out = new FileOutputStream(file, append)) {
      out.write(text.getBytes("UTF-8"));
    }
  }

  static void runMain(String[] args) throws Exception {
    record("main", args);
    File ready = new File(DIR, "ready.tmp");
    write(ready, new File("/proc/self").getCanonicalFile().getName(), false);
    ready.renameTo(new File(DIR, "ready"));
    File release = new File(DIR, "release");
    for (int i = 0; i < 6000 && !release.exists(); ++i) Thread.sleep(20);
    String exit = System.getProperty("single.exit");
    if (exit != null) System.exit(Integer.parseInt(exit));
  }
}
