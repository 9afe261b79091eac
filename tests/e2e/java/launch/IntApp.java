package launch;

// Probe with a secondaryMain that returns the second instance's exit code:
// its first argument when that is a number, else 7 (as the test JVM's).
public final class IntApp {
  public static void main(String[] args) throws Exception {
    Probe.main(args);
  }

  public static int secondaryMain(String[] args) throws Exception {
    Probe.secondaryMain(args);
    return args.length > 0 && args[0].matches("-?[0-9]+") ? Integer.parseInt(args[0]) : 7;
  }
}
