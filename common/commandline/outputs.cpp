#include "outputs.hpp"

#include <cerrno>
#include <cstring>

namespace flownet {

namespace {

constexpr const char* kNumber = "{n}";

std::string spelt(const std::string& name) {
    return name == "-" ? "standard output" : name;
}

}  // namespace

bool isNumberedName(const std::string& name) {
    return name.find(kNumber) != std::string::npos;
}

std::string numberedName(const std::string& name, int n) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = name.find(kNumber, from)) != std::string::npos; from = at + 3) {
        out.append(name, from, at - from).append(std::to_string(n));
    }
    return out.append(name, from);
}

RunOutputs::RunOutputs(std::ostream& standardOutput, bool force,
                       const std::vector<std::string>& networks)
    : standardOutput_(standardOutput), force_(force) {
    for (const std::string& network : networks) networks_.emplace_back(network, identifyFile(network));
}

std::string RunOutputs::refusal(const Claim& wanted, const std::vector<Claim>& claimed) const {
    const std::string& name = wanted.name;
    const FileIdentity& id = wanted.id;
    if (name.empty()) return wanted.option + ": an empty file name";
    for (const auto& [network, networkId] : networks_) {
        if (sameFile(id, networkId)) {
            return id.standardOutput
                       ? "standard output is the network file " + network +
                             ", which is being read; it cannot take " + wanted.option
                       : name + ": that is a network file being read; it cannot be an output";
        }
    }
    for (const Claim& other : claimed) {
        if (id.nullDevice && other.id.nullDevice) continue;  // /dev/null takes anything
        if (id.standardOutput && other.id.standardOutput) {
            return "both " + other.option + " and " + wanted.option +
                   " would write to standard output";
        }
        if (name == other.name) {
            return name + ": named by both " + other.option + " and " + wanted.option;
        }
        if (sameFile(id, other.id)) {
            return spelt(name) + " and " + spelt(other.name) + " are the same file: " +
                   other.option + " and " + wanted.option + " cannot both write there";
        }
    }
    if (id.standardOutput) return "";
    if (id.path.empty() && !id.hasInode) {
        return name + ": cannot be created: " + std::strerror(id.error != 0 ? id.error : ENOENT);
    }
    switch (id.kind) {
        case FileKind::Folder:
            return name + ": is a folder";
        case FileKind::Regular:
            return force_ ? "" : name + ": the file exists (use --force to replace it)";
        case FileKind::Special:  // a device or a pipe is written, never replaced
            return "";
        case FileKind::None:
            break;
    }
    if (id.danglingLink && !force_) {
        return name + ": the name is taken by a symbolic link (use --force to replace it)";
    }
    return "";
}

OutputFile& RunOutputs::open(const std::string& option, const std::string& name) {
    Claim wanted{option, name, identifyFile(name)};
    if (const std::string why = refusal(wanted, claimed_); !why.empty()) throw OutputFailure{why};
    outputs_.push_back(std::make_unique<OutputFile>(option, name, wanted.id, standardOutput_));
    claimed_.push_back(std::move(wanted));
    return *outputs_.back();
}

void RunOutputs::check(const std::string& option, const std::string& name,
                       const std::vector<std::pair<std::string, std::string>>& others) const {
    std::vector<Claim> claimed = claimed_;
    for (const auto& [other, otherName] : others) {
        claimed.push_back({other, otherName, identifyFile(otherName)});
    }
    if (const std::string why = refusal({option, name, identifyFile(name)}, claimed); !why.empty()) {
        throw OutputFailure{why};
    }
}

void RunOutputs::commit() {
    // Without --force, a target that appeared since the run began is refused before any other
    // target is touched; one that appears in the last instant is caught by the exclusive rename.
    if (!force_) {
        for (const auto& output : outputs_) {
            if (output->replacesTarget() && output->targetExists()) {
                discard();
                throw OutputFailure{output->name() +
                                    ": the file exists (use --force to replace it)"};
            }
        }
    }
    for (std::size_t k = 0; k < outputs_.size(); ++k) {
        try {
            outputs_[k]->commit(force_);
        } catch (const OutputFailure&) {
            for (std::size_t m = 0; m < k; ++m) outputs_[m]->discard(true);
            discard();
            throw;
        }
    }
}

void RunOutputs::discard() {
    for (const auto& output : outputs_) output->discard(false);
}

}  // namespace flownet
