/** The benchmark's application: starts, prints one line, ends. */
public final class BenchHello {
    public static void main(String[] args) {
        System.out.println("hello");
    }
}
