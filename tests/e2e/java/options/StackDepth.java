package options;

// Prints how deep main's thread can recurse before its stack runs out, a
// measure of the stack the launcher gave the JVM thread.
public class StackDepth {
  private static int depth;

  private static void descend() {
    ++depth;
    descend();
  }

  public static void main(String[] args) {
    try {
      descend();
    } catch (StackOverflowError expected) {
      // the measure is taken
    }
    System.out.println("depth=" + depth);
  }
}
