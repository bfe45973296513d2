#pragma once
// Runs of the real scan for the chart tests, and a reader of the shapes in a chart's SVG.
#include <QByteArray>
#include <QXmlStreamReader>
#include <map>
#include <string>
#include <vector>

#include "astro/catalogue.h"
#include "fake_run_host.h"
#include "test_support.h"
#include "transits/transit_scan.h"

namespace kovo::testing {

// A two-planet scan with every aspect and orbs 10, 5, 2, as the window runs it.
inline transits::TransitResult ScanPair(int first, int second, std::int32_t startDay, std::int32_t endDay,
                                        int timezonePosition = 24, const std::string& zoneText = "GMT") {
    InitModelOnce();
    transits::TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.startDay = startDay;
    p.endDay = endDay;
    for (std::size_t a = 1; a <= 7; ++a) p.aspects[a] = true;
    transits::SetOrbs(p, 10, 5, 2);
    p.zone = kovo::testing::ListZone(timezonePosition, zoneText);
    p.firstName = astro::PlanetName(first, false, false);
    p.secondName = astro::PlanetName(second, false, false);
    p.outputLimit.reset();
    FakeRunHost host;
    return transits::RunTransitScan(p, host);
}

// One shape or text of an SVG document, with the attributes of the groups around it.
struct SvgElement {
    std::string tag;
    std::map<std::string, std::string> attributes;  // its own, over those of its groups
    std::string text;

    double Number(const std::string& name) const { return std::stod(attributes.at(name)); }
    bool HasClass(const std::string& name) const {
        const auto it = attributes.find("class");
        if (it == attributes.end()) return false;
        const std::string padded = " " + it->second + " ";
        return padded.find(" " + name + " ") != std::string::npos;
    }
    // The x of a vertical polyline (a tick), from its first point.
    double LineX() const { return std::stod(attributes.at("points")); }
};

struct SvgShapes {
    std::vector<SvgElement> all;
    std::map<std::string, SvgElement> byId;
    bool wellFormed = false;

    std::vector<const SvgElement*> WithClass(const std::string& name) const {
        std::vector<const SvgElement*> found;
        for (const SvgElement& e : all)
            if (e.HasClass(name)) found.push_back(&e);
        return found;
    }
    bool HasText(const std::string& text) const {
        for (const SvgElement& e : all)
            if (e.tag == "text" && e.text.find(text) != std::string::npos) return true;
        return false;
    }
};

inline SvgShapes ReadSvg(const QByteArray& svg) {
    SvgShapes shapes;
    QXmlStreamReader reader(svg);
    std::vector<std::map<std::string, std::string>> groups{{}};
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            std::map<std::string, std::string> attributes = groups.back();
            for (const auto& a : reader.attributes()) attributes[a.qualifiedName().toString().toStdString()] = a.value().toString().toStdString();
            const std::string tag = reader.name().toString().toStdString();
            if (tag == "g") {
                groups.push_back(attributes);
                continue;
            }
            SvgElement e{tag, attributes, {}};
            if (tag == "text") e.text = reader.readElementText().toStdString();
            if (attributes.count("id") != 0 && reader.attributes().hasAttribute(QStringLiteral("id")))
                shapes.byId[attributes["id"]] = e;
            shapes.all.push_back(std::move(e));
        } else if (reader.isEndElement() && reader.name() == u"g") {
            groups.pop_back();
        }
    }
    shapes.wellFormed = !reader.hasError();
    return shapes;
}

}  // namespace kovo::testing
