#pragma once

#include <QString>

namespace zark {

// "zark --export-pdf FILE [OUT.pdf]": the printed report of a series file, or of every series of
// a match file one after the other, as a PDF without a window, on the page set up in Page Setup.
// OUT defaults to FILE with ".pdf" for its extension. Returns the exit status: 0, or 1 with a
// message on standard error when the file cannot be read, names an unknown target or the PDF
// cannot be written.
int RunPdfExport(const QString& path, const QString& out);

}  // namespace zark
