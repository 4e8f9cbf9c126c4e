package org.example.shop;

import java.util.*;
import java.util.function.Function;

/**
 * An order with its lines.
 * @since 2.1
 */
public sealed interface Order permits Order.Open, Order.Closed {

  record Open(String id, List<Line> lines) implements Order {}

  record Closed(String id, long total) implements Order {}

  record Line(String sku, int qty, double price) {}

  /* plain block
     comment */
  static String describe(Order order) {
    return switch (order) {
      case Open o when o.lines().isEmpty() -> "empty order " + o.id();
      case Open o -> "open: %d lines".formatted(o.lines().size());
      case Closed(var id, var total) -> "closed " + id + " for " + total;
    };
  }

  @SuppressWarnings("unchecked")
  static <T> T[] copy(T[] in, Function<T, T> f) {
    var out = (T[]) new Object[in.length];
    for (int i = 0; i < in.length; i++) out[i] = f.apply(in[i]);
    return out;
  }

  static void main(String... args) throws Exception {
    long big = 1_000_000L + 0x7FFF_FFFFL + 0b1010 + 017;
    float f = 3.5f + 1e-3f + .5F;
    char q = '\'', nl = '\n';
    String json = """
        {"name": "widget", "note": "a \""" inside"}
        """;
    String s = "tab\t\"quote\"";
    var text = this.toString(); // not in a static context, but still words
    non-sealed class X {}
    int # = 1;
  }
}
