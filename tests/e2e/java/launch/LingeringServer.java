package launch;

import java.io.File;
import java.io.FileOutputStream;
import java.io.OutputStream;
import java.util.concurrent.CountDownLatch;

// The shape of a server: main starts a non-daemon worker and returns at
// once, and the worker runs until stop() is called. Once main's thread has
// ended, the worker writes the process id to "testjvm.ready" in the folder
// that the property probe.dir names. NoStop has the same shape without a
// stop(): its worker runs until the process ends.
public class LingeringServer {
  private static final CountDownLatch stopped = new CountDownLatch(1);

  public static class NoStop {
    public static void main(String[] args) throws Exception {
      LingeringServer.start(new CountDownLatch(1));
    }
  }

  public static void main(String[] args) throws Exception {
    start(stopped);
  }

  public static void stop() {
    System.out.println("stop called");
    stopped.countDown();
  }

  static void start(CountDownLatch latch) throws Exception {
    Runtime.getRuntime().addShutdownHook(new Thread(() -> System.out.println("hook ran")));
    Thread main = Thread.currentThread();
    Thread worker = new Thread(() -> {
      try {
        main.join();
        File dir = new File(System.getProperty("probe.dir", "."));
        try (OutputStream out = new FileOutputStream(new File(dir, "testjvm.ready.tmp"))) {
          out.write(new File("/proc/self").getCanonicalFile().getName().getBytes("UTF-8"));
        }
        new File(dir, "testjvm.ready.tmp").renameTo(new File(dir, "testjvm.ready"));
        latch.await();
        System.out.println("worker ended");
      } catch (Exception e) {
        e.printStackTrace();
      }
    }, "worker");
    worker.start();
    System.out.println("main returned");
  }
}
