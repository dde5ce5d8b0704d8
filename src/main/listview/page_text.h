#pragma once
// Reading the control-list page, which is Windows-1252 text that declares no character set.
#include <QByteArray>
#include <QString>

#include <string_view>

namespace quandel {

// The one way from the document's and the page's Windows-1252 texts to Qt; the table itself
// lives in support.
QString DecodeCp1252(std::string_view bytes);
inline QString DecodeCp1252(const QByteArray& bytes) {
  return DecodeCp1252(std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())));
}

// The rules of the page's <style> block without the comment marks around them. Qt's HTML
// reader drops a style block written inside a comment, so the rules are applied separately.
QString PageStyleRules(const QString& html);

// The page as Qt's HTML reader should get it. That reader splits an inline run that follows
// <hr> into two lines when the run nests elements (the footer's link inside its font), so a
// paragraph is opened after each rule.
QString PageForView(const QString& html);

}  // namespace quandel
