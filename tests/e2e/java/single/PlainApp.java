package single;

// A single-instance application without secondaryMain.
public final class PlainApp {
  public static void main(String[] args) throws Exception {
    Control.runMain(args);
  }
}
