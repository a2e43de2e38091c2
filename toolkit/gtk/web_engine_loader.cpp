#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "toolkit/gtk/web_engine.h"

namespace velk::tk {

namespace {

std::string& module_override() {
  static std::string path;
  return path;
}

std::string module_path() {
  if (!module_override().empty()) return module_override();
  std::error_code error;
  const auto beside = std::filesystem::read_symlink("/proc/self/exe", error).parent_path() / kWebEngineModuleName;
  if (!error && std::filesystem::exists(beside, error)) return beside.string();
#ifdef VELK_WEB_ENGINE_BUILD_PATH
  return VELK_WEB_ENGINE_BUILD_PATH;
#else
  return beside.string();
#endif
}

WebEngineSettings& settings() {
  static WebEngineSettings values;
  return values;
}

}  // namespace

void SetWebEngineModuleForTests(const std::string& path) { module_override() = path; }

void SetWebMemoryLimitForTests(unsigned mb) { settings().memory_limit_mb = mb; }

NewWebEngineView LoadWebEngine(std::string& error) {
  // Each module file is loaded once per process; a failure is remembered
  // too, so that every later view shows the same error at no cost.
  struct Loaded {
    ConfigureWebEngine configure = nullptr;
    NewWebEngineView entry = nullptr;
    std::string error;
  };
  static std::map<std::string, Loaded> loaded;
  const std::string path = module_path();
  auto [it, first] = loaded.try_emplace(path);
  Loaded& result = it->second;
  if (first) {
    if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
      result.configure = reinterpret_cast<ConfigureWebEngine>(dlsym(module, kConfigureWebEngineSymbol));
      result.entry = reinterpret_cast<NewWebEngineView>(dlsym(module, kNewWebEngineViewSymbol));
      if (!result.entry || !result.configure) {
        result.entry = nullptr;
        result.error = path + ": not a web engine module of this version";
        dlclose(module);
      }  // else the module stays loaded for the rest of the run
    } else {
      const char* why = dlerror();
      result.error = why ? why : path + ": cannot be loaded";
    }
  }
  error = result.error;
  if (result.configure) result.configure(settings());
  return result.entry;
}

}  // namespace velk::tk
