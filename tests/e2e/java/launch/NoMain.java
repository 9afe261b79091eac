package launch;

// Has a static method, but none named main.
public class NoMain {
  public static void run(String[] args) {}
}
