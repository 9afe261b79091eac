package cache;

import java.net.InetAddress;
import java.net.ServerSocket;

// A server's start: listens on the port given as the first argument, says
// so and returns from main without closing the socket, as an application
// that leaves its sockets to the end of the process does.
public class Listener {
  static ServerSocket socket;

  public static void main(String[] args) throws Exception {
    socket = new ServerSocket(Integer.parseInt(args[0]), 1, InetAddress.getLoopbackAddress());
    System.out.println("listening on " + args[0]);
  }
}
