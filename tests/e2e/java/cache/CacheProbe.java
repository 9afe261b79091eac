package cache;

import java.io.ByteArrayInputStream;
import java.lang.management.ManagementFactory;
import java.time.LocalDate;
import java.util.Arrays;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import java.util.stream.Collectors;
import javax.xml.parsers.DocumentBuilderFactory;
import org.w3c.dom.Element;
import org.w3c.dom.NodeList;

// Does a little of what applications do at start (XML, streams with lambdas,
// java.time, regular expressions) and prints a fixed result on standard
// output. The JVM options it was started with go to standard error, so that
// standard output stays the same whatever cache options the launcher added.
public class CacheProbe {
  public static void main(String[] args) throws Exception {
    String xml = "<items><item n=\"3\"/><item n=\"14\"/><item n=\"15\"/></items>";
    NodeList items = DocumentBuilderFactory.newInstance().newDocumentBuilder()
        .parse(new ByteArrayInputStream(xml.getBytes("UTF-8"))).getElementsByTagName("item");
    int sum = 0;
    for (int i = 0; i < items.getLength(); i++) sum += Integer.parseInt(((Element) items.item(i)).getAttribute("n"));
    String words = Arrays.stream("pi is three point one four one five".split(" "))
        .filter(word -> word.length() > 2).map(String::toUpperCase).collect(Collectors.joining(","));
    String date = LocalDate.of(2024, 2, 29).plusDays(1).toString();
    Matcher matcher = Pattern.compile("(\\d+)-(\\d+)").matcher("range 10-42");
    String range = matcher.find() ? matcher.group(2) + ".." + matcher.group(1) : "none";
    System.out.println("sum=" + sum + " words=" + words + " date=" + date + " range=" + range);
    System.err.println("options=" + ManagementFactory.getRuntimeMXBean().getInputArguments());
  }
}
