package single;

// A single-instance application whose secondaryMain returns nothing.
public final class VoidApp {
  public static void main(String[] args) throws Exception {
    Control.runMain(args);
  }

  public static void secondaryMain(String[] args) throws Exception {
    Control.record("secondary", args);
  }
}
