#include "quorvale/setup/install_end.h"

#include "quorvale/component/product.h"

namespace quorvale::setup {

namespace {

struct EndNames {
  const char* words;
  const char* uninstall_key;
};

const EndNames& NamesOf(InstallEnd end) {
  static constexpr EndNames kServer{QUORVALE_SERVER_END, kServerEndUninstallKey};
  static constexpr EndNames kControl{QUORVALE_CONTROL_END, kControlEndUninstallKey};
  return end == InstallEnd::kServer ? kServer : kControl;
}

}  // namespace

const char* UninstallKeyOf(InstallEnd end) { return NamesOf(end).uninstall_key; }

const char* EndWordsOf(InstallEnd end) { return NamesOf(end).words; }

std::string ProductName(InstallEnd end) {
  return std::string(QUORVALE_PRODUCT QUORVALE_RELEASE " ") + EndWordsOf(end);
}

std::string ProductCaption(InstallEnd end) {
  return std::string(QUORVALE_PRODUCT QUORVALE_RELEASE) + EndWordsOf(end);
}

std::string ProductDescription(InstallEnd end) {
  return std::string(QUORVALE_PRODUCT " " QUORVALE_RELEASE " ") + EndWordsOf(end);
}

}  // namespace quorvale::setup
