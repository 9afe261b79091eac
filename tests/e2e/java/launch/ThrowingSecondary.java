package launch;

// Probe's main, with a secondaryMain that returns an int but throws after
// logging its call as VoidApp's does.
public class ThrowingSecondary extends Probe {
  public static synchronized int secondaryMain(String[] args) throws Exception {
    write("testjvm.log", "secondaryMain " + printed(args, " ") + "\n", true);
    throw new IllegalStateException("boom from secondaryMain");
  }
}
