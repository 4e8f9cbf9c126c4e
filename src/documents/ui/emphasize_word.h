// Underlines every visible occurrence of one word in an editor view (the incremental search
// switches it on).
#pragma once
#include <QColor>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

class QPainter;

namespace qv {

class EditorView;

class TEmphasizeWordPlugin {
 public:
  // Attaches to the view's after-paint step until destroyed.
  explicit TEmphasizeWordPlugin(EditorView& view);
  ~TEmphasizeWordPlugin();
  TEmphasizeWordPlugin(const TEmphasizeWordPlugin&) = delete;
  TEmphasizeWordPlugin& operator=(const TEmphasizeWordPlugin&) = delete;

  void SetWord(std::string word);
  const std::string& Word() const { return word_; }
  // 1 single underline, 2 double underline, 3 dotted double underline.
  void SetStyle(int style) { style_ = style; }
  int Style() const { return style_; }
  void SetColor(QColor color) { color_ = color; }
  QColor Color() const { return color_; }
  void SetCaseSensitive(bool on) { caseSensitive_ = on; }
  bool CaseSensitive() const { return caseSensitive_; }

  // Byte columns where the word starts in [from, to) of the line (plain, so it is testable).
  static std::vector<int> Occurrences(std::string_view line, std::string_view word, bool caseSensitive,
                                      int from, int to);

 private:
  void paint(QPainter& p);

  EditorView& view_;
  std::string word_;
  int style_ = 3;
  QColor color_ = QColor(255, 0, 0);
  bool caseSensitive_ = false;
};

}  // namespace qv
