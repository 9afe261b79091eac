package example;

import java.awt.BorderLayout;
import java.awt.GraphicsEnvironment;
import javax.swing.BorderFactory;
import javax.swing.JButton;
import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.JPanel;
import javax.swing.SwingUtilities;
import javax.swing.WindowConstants;

/** The hello example as a desktop application: a window with the greeting and the arguments. */
public final class HelloWindow {
    private HelloWindow() {}

    public static void main(String[] args) {
        if (GraphicsEnvironment.isHeadless()) {
            // No display: say so where a terminal user would look.
            System.err.println("HelloWindow needs a graphical desktop.");
            System.exit(2);
        }
        SwingUtilities.invokeLater(() -> show(args));
    }

    private static void show(String[] args) {
        StringBuilder text = new StringBuilder("<html>Hello from Java ")
                .append(System.getProperty("java.version"))
                .append("<br>Arguments: ").append(args.length);
        for (String argument : args) {
            text.append("<br>&nbsp;&nbsp;").append(argument.replace("&", "&amp;").replace("<", "&lt;"));
        }
        JLabel label = new JLabel(text.append("</html>").toString());
        JButton close = new JButton("Close");
        JFrame frame = new JFrame("Javelin Hello");
        close.addActionListener(event -> frame.dispose());
        JPanel content = new JPanel(new BorderLayout(0, 12));
        content.setBorder(BorderFactory.createEmptyBorder(16, 16, 16, 16));
        content.add(label, BorderLayout.CENTER);
        content.add(close, BorderLayout.SOUTH);
        frame.setContentPane(content);
        frame.setDefaultCloseOperation(WindowConstants.DISPOSE_ON_CLOSE);
        frame.pack();
        frame.setLocationRelativeTo(null);
        frame.setVisible(true);
    }
}
