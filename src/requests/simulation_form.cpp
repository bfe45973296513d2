#include "requests/simulation_form.h"

#include "astro/catalogue.h"

namespace kovo::requests {

namespace {

util::Refusal Refuse(util::InputField field, std::string text, std::string title,
                     util::MessageIcon icon = util::MessageIcon::Information) {
    return {.field = field, .message = {.text = std::move(text), .title = std::move(title), .icon = icon}};
}

bool PlanetsInRange(const SimulationForm& f) {
    return f.firstPlanet >= 1 && f.firstPlanet <= astro::kPlanetCount && f.secondPlanet >= 2 &&
           f.secondPlanet <= astro::kPlanetCount;
}

}  // namespace

std::optional<util::Refusal> SimulationDateRefusal(const SimulationForm& f) {
    for (std::int32_t day : {f.startDay, f.endDay})
        if (day < simulation::FirstInvestmentDay || day > simulation::LastInvestmentDay)
            return Refuse(day == f.startDay ? util::InputField::StartDate : util::InputField::EndDate,
                          "Investment dates must be in the range\r\n 2007-01-03 through 2014-12-31.", f.caption);
    if (f.endDay - 30 < f.startDay)
        return Refuse(util::InputField::EndDate,
                      "For the investment simulation the start date must be\r\n"
                      "at least 30 days prior to the end date.",
                      f.caption);
    return std::nullopt;
}

namespace {

// The form's values as a request, checked or not.
simulation::SimulationRequest RequestFields(const SimulationForm& f) {
    return simulation::SimulationRequest{.first = astro::BodyOfIndex(f.firstPlanet),
                                         .second = astro::BodyOfIndex(f.secondPlanet),
                                         .aspectChecked = f.aspectChecked,
                                         .orbDegrees = f.orbDegrees,
                                         .startDay = f.startDay,
                                         .endDay = f.endDay,
                                         .includeDetails = f.includeDetails,
                                         .firstName = f.firstName,
                                         .secondName = f.secondName,
                                         .titleHeliocentric = f.titleHeliocentric,
                                         .numberFormat = f.numberFormat};
}

}  // namespace

std::variant<simulation::SimulationRequest, util::Refusal> SimulationRequestOf(const SimulationForm& f) {
    if (auto refusal = SimulationDateRefusal(f)) return std::move(*refusal);
    if (!PlanetsInRange(f)) return util::Refusal{.field = util::InputField::Bodies};
    const bool usesPluto = f.firstPlanet == astro::kPluto || f.secondPlanet == astro::kPluto;
    if (usesPluto && !f.pluto.available)
        return Refuse(util::InputField::Bodies, astro::PlutoUnavailableText(f.pluto), f.caption,
                      util::MessageIcon::Exclamation);
    return RequestFields(f);
}

simulation::SimulationRun RunSimulationForm(const SimulationForm& form, const simulation::IndexPrices& prices,
                                           util::RunHost& host) {
    auto request = SimulationRequestOf(form);
    if (const auto* refusal = std::get_if<util::Refusal>(&request)) {
        if (!refusal->message.text.empty()) host.ShowMessage(refusal->message);
        // A refused run keeps what it was asked, for the records.
        simulation::SimulationRun refused;
        if (PlanetsInRange(form)) refused.inputs = RequestFields(form);
        return refused;
    }
    return simulation::RunSimulation(std::get<simulation::SimulationRequest>(request), prices, host);
}

}  // namespace kovo::requests
