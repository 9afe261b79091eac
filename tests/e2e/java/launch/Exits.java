package launch;

public class Exits {
  public static void main(String[] args) {
    System.out.println("exiting with " + args[0]);
    System.exit(Integer.parseInt(args[0]));
  }
}
