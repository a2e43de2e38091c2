#include "shell/skin_pictures.h"

#include "art/skins.h"

namespace velk {

std::string_view SkinPictureFor(const Text& skin_name) {
  if (skin_name == "皮肤1") return art::skins::skin1;
  if (skin_name == "皮肤2") return art::skins::skin2;
  if (skin_name == "皮肤3") return art::skins::skin3;
  if (skin_name == "皮肤4") return art::skins::skin4;
  if (skin_name == "皮肤5") return art::skins::skin5;
  return {};
}

}  // namespace velk
