package service;

import java.util.concurrent.CountDownLatch;

// A service that runs until its stop() is called. "exit N" ends it at once
// with System.exit(N), "return" lets main return at once.
public class Stoppable {
    private static final CountDownLatch stopped = new CountDownLatch(1);

    public static void main(String[] args) throws Exception {
        Runtime.getRuntime().addShutdownHook(new Thread(() -> System.out.println("hook ran")));
        System.out.println("args=" + String.join(",", args));
        if (args.length > 1 && args[0].equals("exit")) {
            System.exit(Integer.parseInt(args[1]));
        }
        if (args.length > 0 && args[0].equals("return")) {
            System.out.println("main returns");
            return;
        }
        System.out.println("pid=" + new java.io.File("/proc/self").getCanonicalFile().getName());
        System.out.println("main started");
        stopped.await();
        // Written after the stop, to show that nothing is lost on the way out.
        for (int i = 0; i < 2000; i++) {
            System.out.println("line " + i);
        }
        System.out.println("main returns");
    }

    public static void stop() {
        System.out.println("stop called");
        stopped.countDown();
    }
}
