package launch;

// Probe without secondaryMain and stop().
public final class PlainApp {
  public static void main(String[] args) throws Exception {
    Probe.main(args);
  }
}
