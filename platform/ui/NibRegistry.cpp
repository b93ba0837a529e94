#include "platform/ui/NibRegistry.h"

#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibOwner.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <map>

namespace platform::ui {

namespace {

struct ClassEntry {
    std::string registeredName;
    NibRegistry::Decoder decode;
    NibRegistry::Sample sample;
};

struct Registry {
    std::map<std::string, NibRegistry::Builder> nibs;
    std::map<std::string, ClassEntry> classes;
    std::vector<std::string> loading;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

std::string screenName()
{
    Size size = Screen::main().bounds().size;
    return formatNumber(size.width) + "x" + formatNumber(size.height);
}

}

void NibRegistry::registerNib(const std::string& name, Builder builder)
{
    if (!builder)
        throw NibError("Nib '" + name + "' is registered without a builder");
    if (!registry().nibs.emplace(name, std::move(builder)).second)
        throw NibError("Nib '" + name + "' is registered twice");
}

void NibRegistry::removeNib(const std::string& name)
{
    registry().nibs.erase(name);
}

bool NibRegistry::hasNib(const std::string& name)
{
    return registry().nibs.contains(name);
}

std::vector<std::string> NibRegistry::nibNames()
{
    std::vector<std::string> names;
    for (const auto& [name, builder] : registry().nibs)
        names.push_back(name);
    return names;
}

std::string NibRegistry::variantName(const std::string& name, bool shortScreenVariant)
{
    return shortScreenVariant && Screen::main().isShort() ? name + "4" : name;
}

std::vector<std::shared_ptr<View>> NibRegistry::load(
    const std::string& name, NibOwner* owner, bool shortScreenVariant)
{
    auto& r = registry();
    std::string resolved = variantName(name, shortScreenVariant);
    auto found = r.nibs.find(resolved);
    if (found == r.nibs.end()) {
        std::string who = owner ? " (loaded by " + owner->nibOwnerName() + ")" : "";
        throw NibError("No nib named '" + resolved + "' is registered" + who);
    }
    if (std::find(r.loading.begin(), r.loading.end(), resolved) != r.loading.end())
        throw NibError("Nib '" + resolved + "' contains itself (through a custom view that loads it)");
    auto builder = found->second;
    NibBuilder nib(resolved, owner);
    r.loading.push_back(resolved);
    try {
        builder(nib);
    } catch (...) {
        r.loading.pop_back();
        throw;
    }
    r.loading.pop_back();
    if (nib.topLevelViews().empty())
        nib.fail("has no top-level view");
    return nib.topLevelViews();
}

void NibRegistry::registerClass(const std::string& name, Decoder decode, Sample sample)
{
    if (!decode && !sample)
        throw NibError("Class '" + name + "' is registered without a way to make it");
    if (!sample)
        sample = [decode] { return decode(NibCoder {}); };
    auto plain = plainClassName(name);
    if (!registry().classes.emplace(plain, ClassEntry { name, std::move(decode), std::move(sample) }).second)
        throw NibError("Class '" + name + "' is registered twice");
}

void NibRegistry::removeClass(const std::string& name)
{
    registry().classes.erase(plainClassName(name));
}

bool NibRegistry::hasClass(const std::string& name)
{
    return registry().classes.contains(plainClassName(name));
}

std::vector<std::string> NibRegistry::classNames()
{
    std::vector<std::string> names;
    for (const auto& [plain, entry] : registry().classes)
        names.push_back(entry.registeredName);
    std::sort(names.begin(), names.end());
    return names;
}

std::shared_ptr<View> NibRegistry::instantiate(const std::string& className, const NibCoder& coder)
{
    auto found = registry().classes.find(plainClassName(className));
    if (found == registry().classes.end())
        throw NibError("No class named '" + className + "' is registered");
    if (!found->second.decode)
        throw NibError("Class '" + className + "' is made only in code and cannot come from a nib");
    auto decode = found->second.decode;
    auto view = decode(coder);
    if (!view)
        throw NibError("Class '" + className + "' made no view");
    return view;
}

std::string NibRegistry::plainClassName(const std::string& name)
{
    auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(dot + 1);
}

std::vector<std::string> NibRegistry::verifyClasses()
{
    std::vector<std::pair<std::string, Sample>> samples;
    for (const auto& [plain, entry] : registry().classes)
        samples.emplace_back(entry.registeredName, entry.sample);
    std::vector<std::string> problems;
    for (Size size : { Screen::size320x480, Screen::size320x568 }) {
        ScopedMainScreen screen(size, Screen::main().scale());
        for (const auto& [name, sample] : samples) {
            std::string where = name + " on a " + screenName() + " screen: ";
            try {
                auto view = sample();
                if (!view) {
                    problems.push_back(where + "made no view");
                    continue;
                }
                if (auto* owner = dynamic_cast<NibOwner*>(view.get())) {
                    for (const auto& outlet : owner->unconnectedOutlets())
                        problems.push_back(where + "outlet '" + outlet + "' is not connected");
                }
            } catch (const std::exception& error) {
                problems.push_back(where + error.what());
            }
        }
    }
    return problems;
}

}
