package launch;

// An uncaught exception on a thread of its own, reported by the JVM: its
// first words come from the JVM itself, the stack trace from System.err.
public class ThreadFailure {
  public static void main(String[] args) throws Exception {
    System.out.println("main ran");
    Thread worker = new Thread(() -> {
      throw new IllegalStateException("boom from a thread");
    }, "worker");
    worker.start();
    worker.join();
  }
}
