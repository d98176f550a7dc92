// kantelo-db apply: the window's whole-bible slide-change run over one bible, without the window.
#include "commands.h"

#include "jet/database.h"
#include "maintenance/bible_apply.h"
#include "texts/ui_texts.h"

#include <iostream>

namespace kantelo_db {

int cmdApply(const Args& args) {
    std::string file;
    std::string option;
    // --lang after the command (as before) names the markers' language; --lang before it, for
    // every command, the messages' and by default the markers' too.
    std::string lang = texts::codeOf(messageLanguage()).toStdString();
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang" && i + 1 < args.size()) lang = args[++i];
        else positional.push_back(args[i]);
    }
    if (positional.size() != 2 || (positional[1] != "force" && positional[1] != "remove")) {
        std::cerr << "usage: kantelo-db apply FILE force|remove [--lang NL|UK|DE]\n";
        return 2;
    }
    file = positional[0];
    option = positional[1];
    // The markers only matter for a verse line that equals one of them: the window's save turns
    // such a line into a marker's stored form, so the run needs the language the window uses.
    const auto language = texts::textsForCode(QString::fromStdString(lang));
    if (!language) {
        std::cerr << "kantelo-db: unknown language '" << lang << "' (NL, UK or DE)\n";
        return 2;
    }

    maintenance::OptionBoxes boxes;
    boxes.force = option == "force";
    boxes.remove = option == "remove";
    // The run opens the file itself, as the window does.
    prepareChange(file);
    const auto report = maintenance::applyToBible(QString::fromStdString(file), boxes,
                                                  {language->newSlideMarker, language->emptyLineMarker});
    std::cout << report.versesVisited << " verses visited, " << report.rowsWritten << " rows changed\n";
    return 0;
}

} // namespace kantelo_db
