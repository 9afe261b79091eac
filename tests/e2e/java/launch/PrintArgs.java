package launch;

// Prints the arguments it receives as UTF-16 code units in hex, so that the
// test can compare them exactly whatever the console encoding.
public class PrintArgs {
  public static void main(String[] args) {
    StringBuilder text = new StringBuilder();
    text.append("argc=").append(args == null ? -1 : args.length).append('\n');
    if (args != null) {
      for (String argument : args) {
        text.append("arg=");
        for (int i = 0; i < argument.length(); ++i) {
          if (i > 0) text.append(' ');
          text.append(String.format("%04X", (int) argument.charAt(i)));
        }
        text.append('\n');
      }
    }
    System.out.print(text);
    System.out.flush();
  }
}
