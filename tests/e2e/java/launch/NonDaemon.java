package launch;

// main returns at once; a non-daemon thread writes later.
public class NonDaemon {
  public static void main(String[] args) {
    Thread worker = new Thread(new Runnable() {
      public void run() {
        try {
          Thread.sleep(1500);
        } catch (InterruptedException e) {
          return;
        }
        System.out.println("late from the non-daemon thread");
      }
    });
    worker.start();
    System.out.println("main returned");
  }
}
