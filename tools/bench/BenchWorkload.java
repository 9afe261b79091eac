import java.io.ByteArrayInputStream;
import java.io.StringWriter;
import java.nio.charset.StandardCharsets;
import java.time.Duration;
import java.time.LocalDate;
import java.time.ZoneId;
import java.time.ZonedDateTime;
import java.time.format.DateTimeFormatter;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.List;
import java.util.Map;
import java.util.TreeMap;
import java.util.concurrent.ConcurrentHashMap;
import java.util.logging.Handler;
import java.util.logging.Level;
import java.util.logging.LogRecord;
import java.util.logging.Logger;
import java.util.logging.SimpleFormatter;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import java.util.stream.Collectors;
import java.util.stream.IntStream;
import javax.xml.parsers.DocumentBuilderFactory;
import javax.xml.transform.OutputKeys;
import javax.xml.transform.Transformer;
import javax.xml.transform.TransformerFactory;
import javax.xml.transform.dom.DOMSource;
import javax.xml.transform.stream.StreamResult;
import org.w3c.dom.Document;
import org.w3c.dom.Element;
import org.w3c.dom.NodeList;

/**
 * A start-up workload shaped like a small business application: it parses
 * and writes XML, aggregates with streams and lambdas, formats dates in
 * several zones, matches regular expressions and logs through
 * java.util.logging. It loads a few thousand classes and prints one
 * deterministic summary line, so that its output can be compared byte for
 * byte between runs.
 */
public class BenchWorkload {
  private static final String ORDERS =
      "<?xml version=\"1.0\"?><orders>"
          + "<order id=\"A-100\" customer=\"Meier\" date=\"2024-03-01\"><line sku=\"X1\" qty=\"3\" price=\"9.50\"/><line sku=\"Y2\" qty=\"1\" price=\"120.00\"/></order>"
          + "<order id=\"B-200\" customer=\"Schulz\" date=\"2024-03-05\"><line sku=\"X1\" qty=\"10\" price=\"9.00\"/></order>"
          + "<order id=\"C-300\" customer=\"Meier\" date=\"2024-04-11\"><line sku=\"Z3\" qty=\"2\" price=\"45.25\"/><line sku=\"Y2\" qty=\"2\" price=\"118.00\"/></order>"
          + "</orders>";

  static final class Line {
    private final String order;
    private final String customer;
    private final LocalDate date;
    private final String sku;
    private final int quantity;
    private final double price;

    Line(String order, String customer, LocalDate date, String sku, int quantity, double price) {
      this.order = order;
      this.customer = customer;
      this.date = date;
      this.sku = sku;
      this.quantity = quantity;
      this.price = price;
    }

    String order() { return order; }
    String customer() { return customer; }
    LocalDate date() { return date; }
    String sku() { return sku; }
    int quantity() { return quantity; }
    double total() { return quantity * price; }
  }

  public static void main(String[] args) throws Exception {
    StringBuilder log = new StringBuilder();
    Logger logger = Logger.getLogger("bench.workload");
    logger.setUseParentHandlers(false);
    Handler handler =
        new Handler() {
          private final SimpleFormatter formatter = new SimpleFormatter();

          @Override
          public void publish(LogRecord record) {
            log.append(formatter.formatMessage(record)).append('\n');
          }

          @Override
          public void flush() {}

          @Override
          public void close() {}
        };
    logger.addHandler(handler);
    logger.setLevel(Level.FINE);

    Document document =
        DocumentBuilderFactory.newInstance()
            .newDocumentBuilder()
            .parse(new ByteArrayInputStream(ORDERS.getBytes(StandardCharsets.UTF_8)));
    List<Line> lines = new ArrayList<>();
    NodeList orders = document.getElementsByTagName("order");
    for (int i = 0; i < orders.getLength(); i++) {
      Element order = (Element) orders.item(i);
      NodeList items = order.getElementsByTagName("line");
      for (int j = 0; j < items.getLength(); j++) {
        Element item = (Element) items.item(j);
        lines.add(
            new Line(
                order.getAttribute("id"),
                order.getAttribute("customer"),
                LocalDate.parse(order.getAttribute("date")),
                item.getAttribute("sku"),
                Integer.parseInt(item.getAttribute("qty")),
                Double.parseDouble(item.getAttribute("price"))));
      }
    }
    logger.fine(() -> "parsed " + lines.size() + " lines");

    Map<String, Double> byCustomer =
        lines.stream()
            .collect(Collectors.groupingBy(Line::customer, TreeMap::new, Collectors.summingDouble(Line::total)));
    Map<String, Integer> bySku = new ConcurrentHashMap<>();
    lines.parallelStream().forEach(line -> bySku.merge(line.sku(), line.quantity(), Integer::sum));
    String topSku =
        bySku.entrySet().stream()
            .sorted(Map.Entry.<String, Integer>comparingByValue().reversed().thenComparing(Map.Entry.comparingByKey()))
            .map(Map.Entry::getKey)
            .findFirst()
            .orElse("-");
    long primes =
        IntStream.rangeClosed(2, 5000)
            .filter(n -> IntStream.rangeClosed(2, (int) Math.sqrt(n)).noneMatch(d -> n % d == 0))
            .count();

    DateTimeFormatter formatter = DateTimeFormatter.ofPattern("yyyy-MM-dd HH:mm z");
    ZonedDateTime first =
        lines.stream().map(Line::date).min(Comparator.naturalOrder()).orElseThrow().atStartOfDay(ZoneId.of("Europe/Berlin"));
    String zones =
        List.of("UTC", "America/New_York", "Asia/Tokyo").stream()
            .map(zone -> formatter.format(first.withZoneSameInstant(ZoneId.of(zone))))
            .collect(Collectors.joining(" | "));
    Duration span =
        Duration.between(first, lines.stream().map(Line::date).max(Comparator.naturalOrder()).orElseThrow().atStartOfDay(ZoneId.of("Europe/Berlin")));

    Pattern orderId = Pattern.compile("(?<prefix>[A-Z])-(?<number>\\d{3})");
    int idSum = 0;
    for (Line line : lines) {
      Matcher matcher = orderId.matcher(line.order());
      if (matcher.matches()) idSum += Integer.parseInt(matcher.group("number"));
    }
    String masked = "call +49 30 1234567 or mail sales@example.com".replaceAll("\\d", "#").replaceAll("(?i)[a-z]+@", "***@");
    logger.info(() -> String.format("customers=%s", byCustomer.keySet()));

    Document summary = DocumentBuilderFactory.newInstance().newDocumentBuilder().newDocument();
    Element root = summary.createElement("summary");
    summary.appendChild(root);
    byCustomer.forEach(
        (customer, total) -> {
          Element element = summary.createElement("customer");
          element.setAttribute("name", customer);
          element.setAttribute("total", String.format(java.util.Locale.ROOT, "%.2f", total));
          root.appendChild(element);
        });
    Transformer transformer = TransformerFactory.newInstance().newTransformer();
    transformer.setOutputProperty(OutputKeys.OMIT_XML_DECLARATION, "yes");
    StringWriter xml = new StringWriter();
    transformer.transform(new DOMSource(summary), new StreamResult(xml));

    String xpathCount =
        javax.xml.xpath.XPathFactory.newInstance().newXPath().evaluate("count(//line[@qty > 1])", document);
    byte[] digest = java.security.MessageDigest.getInstance("SHA-256").digest(xml.toString().getBytes(StandardCharsets.UTF_8));
    String digestText = java.util.Base64.getEncoder().encodeToString(digest).substring(0, 12);
    String money = java.text.NumberFormat.getCurrencyInstance(java.util.Locale.GERMANY).format(byCustomer.get("Meier"));
    String message = java.text.MessageFormat.format("{0} Bestellungen am {1}", orders.getLength(), "2024-04-11");
    java.util.concurrent.ExecutorService pool = java.util.concurrent.Executors.newFixedThreadPool(2);
    int asyncSum =
        java.util.concurrent.CompletableFuture.supplyAsync(() -> lines.size(), pool)
            .thenCombine(java.util.concurrent.CompletableFuture.supplyAsync(() -> bySku.size(), pool), Integer::sum)
            .get();
    pool.shutdown();

    javax.crypto.KeyGenerator generator = javax.crypto.KeyGenerator.getInstance("AES");
    generator.init(128);
    javax.crypto.Cipher cipher = javax.crypto.Cipher.getInstance("AES/GCM/NoPadding");
    // Encryption with GCM chooses its own nonce.
    cipher.init(javax.crypto.Cipher.ENCRYPT_MODE, generator.generateKey());
    int sealed = cipher.doFinal(message.getBytes(StandardCharsets.UTF_8)).length;
    int properties = java.beans.Introspector.getBeanInfo(java.util.Date.class).getPropertyDescriptors().length;
    java.io.ByteArrayOutputStream stored = new java.io.ByteArrayOutputStream();
    java.util.Properties settings = new java.util.Properties();
    settings.setProperty("top", topSku);
    settings.storeToXML(stored, null, StandardCharsets.UTF_8);

    System.out.println(
        "sealed=" + sealed + " beanProperties=" + properties + " storedXml=" + (stored.size() > 0));
    System.out.println(
        "xpath=" + xpathCount + " sha=" + digestText + " money=" + money + " msg=" + message + " async=" + asyncSum);
    System.out.println(
        "workload ok: " + xml + " top=" + topSku + " primes=" + primes + " ids=" + idSum + " days=" + span.toDays()
            + " zones=[" + zones + "] masked=" + masked + " log=" + log.toString().replace('\n', ';'));
  }
}
