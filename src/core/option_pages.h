#pragma once

#include <string>
#include <vector>

#include "settings/option_page_decl.h"

// Every page of the options dialog in tree order, declared once for all toolkits.
// `period_names` are the names of the periods the overview lines offer, as shown now.
std::vector<OptionPageDecl> option_page_decls(const std::vector<std::string>& period_names = {});
// One of them by its name; an empty page for a name none has.
OptionPageDecl option_page_decl(const std::string& name, const std::vector<std::string>& period_names = {});
