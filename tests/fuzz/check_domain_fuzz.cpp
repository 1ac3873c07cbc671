// The Domain page's check of a host name: any text as typed. The text comes
// back lower-cased; a name it accepts is 2 to 60 of a-z, 0-9, "-" and ".",
// holds a "." and neither begins nor ends with "-" or "."; and the check
// of the lower-cased text answers the same.
#include <algorithm>

#include "fuzz_support.h"
#include "quorvale/client/domain_page.h"
#include "quorvale/core/text.h"

using namespace quorvale;

namespace {

bool Accepted(const std::string& name) {
  const auto allowed = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
  };
  const auto edge = [](char c) { return c == '-' || c == '.'; };
  return name.size() >= 2 && name.size() <= 60 && name.find('.') != std::string::npos &&
         std::all_of(name.begin(), name.end(), allowed) && !edge(name.front()) && !edge(name.back());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string typed = fuzz::Text(data, size);
  std::string domain = typed;
  const bool accepted = client::DomainPage::CheckDomain(domain);
  if (domain != LowerCase(typed)) fuzz::Broken("the check lower-cases the text it is given");
  if (accepted != Accepted(domain)) fuzz::Broken("the check accepts exactly the names of the accepted form");
  std::string again = domain;
  if (client::DomainPage::CheckDomain(again) != accepted || again != domain)
    fuzz::Broken("the lower-cased name is checked the same");
  return 0;
}
