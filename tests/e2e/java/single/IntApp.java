package single;

// A single-instance application whose secondaryMain returns the exit code
// of the second instance: its first argument when that is a number, else 7.
public final class IntApp {
  public static void main(String[] args) throws Exception {
    Control.runMain(args);
  }

  public static int secondaryMain(String[] args) throws Exception {
    Control.record("secondary", args);
    return args.length > 0 && args[0].matches("-?[0-9]+") ? Integer.parseInt(args[0]) : 7;
  }
}
