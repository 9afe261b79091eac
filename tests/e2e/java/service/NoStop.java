package service;

// A service without stop(): only System.exit ends it.
public class NoStop {
    public static void main(String[] args) throws Exception {
        Runtime.getRuntime().addShutdownHook(new Thread(() -> System.out.println("hook ran")));
        System.out.println("pid=" + new java.io.File("/proc/self").getCanonicalFile().getName());
        System.out.println("main started");
        Thread.sleep(Long.MAX_VALUE);
    }
}
