package example;

/** A small application started through Javelin: it greets and echoes its arguments. */
public final class Hello {
    private Hello() {}

    public static void main(String[] args) {
        System.out.println("Hello from Java " + System.getProperty("java.version")
                + " (" + System.getProperty("java.home") + ")");
        System.out.println("Started by " + System.getenv("KV_JVM_PATH"));
        System.out.println("Arguments: " + args.length);
        for (int i = 0; i < args.length; i++) {
            System.out.println("  [" + i + "] " + args[i]);
        }
    }
}
