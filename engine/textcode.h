#pragma once

#include <QString>

namespace ordwick::engine {

// A JavaScript string literal in double quotes that holds only ASCII and can
// stand anywhere in a page: "<" and ">" are escaped too, so the text can end
// neither a server block ("%>") nor a client script ("</script>").
QString jsString(const QString& text);

// Text for HTML content or a quoted attribute value, written at generation
// time. Characters outside ASCII become character references, so the pages
// are pure ASCII and read the same whatever code page a server assumes.
QString htmlText(const QString& text);

// Markup taken over as it is (a template), made pure ASCII the same way and
// unable to open a server block.
QString asciiMarkup(const QString& markup);

// A file name as the path part of a relative link ("order%20details_index.asp").
QString urlPath(const QString& fileName);

} // namespace ordwick::engine
