#pragma once
// The sample documents of "\SampleContent": texts, rich texts, web pages and tables that the
// sample projects were made from. Texts are Windows-1252 with CR LF line ends.
#include <string>
#include <vector>

namespace ov::demotree {

enum class DocFormat { kText, kRtf, kHtml, kTable };

struct Document {
  std::string Name;  // file name in "\SampleContent"
  std::string Title;
  DocFormat Format = DocFormat::kText;
  std::vector<std::string> Paragraphs;         // text formats
  std::vector<std::vector<std::string>> Rows;  // kTable: the first row holds the column heads
  char Separator = ';';                        // kTable: between cells

  // The file as it lies in "\SampleContent".
  std::string FileBytes() const;
  // The text the product keeps after converting the document: the title and paragraphs, or the
  // rows with their cells between separators, one a line.
  std::string PlainText() const;
};

std::vector<Document> SampleDocuments();

// The document of that name; raises OvError for a name the list lacks.
const Document& DocumentNamed(const std::vector<Document>& documents, const std::string& name);

}  // namespace ov::demotree
