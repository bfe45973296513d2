#include "chart/svg_labels.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace kovo::chart {

namespace {

bool IsShape(QStringView name) {
    return name == u"rect" || name == u"path" || name == u"polyline" || name == u"polygon" || name == u"line" ||
           name == u"ellipse";
}

// Copies a start tag by its written names. QXmlStreamWriter's own namespace handling
// would invent prefixes for the document's default namespace.
void CopyStartElement(const QXmlStreamReader& reader, QXmlStreamWriter& writer) {
    writer.writeStartElement(reader.qualifiedName().toString());
    for (const QXmlStreamNamespaceDeclaration& ns : reader.namespaceDeclarations())
        writer.writeAttribute(ns.prefix().isEmpty() ? QStringLiteral("xmlns") : QStringLiteral("xmlns:") + ns.prefix().toString(),
                              ns.namespaceUri().toString());
    for (const QXmlStreamAttribute& attribute : reader.attributes())
        writer.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
}

}  // namespace

QByteArray LabelSvgShapes(const QByteArray& svg, const std::vector<ShapeLabel>& labels) {
    QByteArray out;
    QXmlStreamReader reader(svg);
    QXmlStreamWriter writer(&out);
    std::size_t next = 0;
    int defsDepth = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError()) return svg;
        if (reader.isStartElement() && reader.name() == u"defs") ++defsDepth;
        if (reader.isEndElement() && reader.name() == u"defs") --defsDepth;
        if (reader.isEndElement()) {
            writer.writeEndElement();
            continue;
        }
        if (!reader.isStartElement()) {
            writer.writeCurrentToken(reader);
            continue;
        }
        CopyStartElement(reader, writer);
        if (defsDepth > 0 || !IsShape(reader.name())) continue;
        if (next >= labels.size()) return svg;
        const ShapeLabel& label = labels[next++];
        if (!label.id.empty()) writer.writeAttribute(QStringLiteral("id"), QString::fromStdString(label.id));
        if (!label.cls.empty()) writer.writeAttribute(QStringLiteral("class"), QString::fromStdString(label.cls));
    }
    return next == labels.size() ? out : svg;
}

}  // namespace kovo::chart
