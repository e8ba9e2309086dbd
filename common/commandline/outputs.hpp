// The outputs of a command-line run: reports, results, pictures and balanced networks.
//
// Every output is checked before anything is written: a name that is empty, a folder, in a folder
// that does not exist, one of the network files the run reads, the file of another output of the
// run (however spelt: hard and symbolic links, "-" and /dev/stdout), or an existing file without
// --force, is refused. Outputs are written to temporary files; at the end of a run that had no
// failure of its outputs, all of them take the places of their targets; after such a failure none
// does, and no temporary file remains. A name may hold "{n}", replaced by a number, for one file
// per report or per network.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "fileidentity.hpp"
#include "outputfile.hpp"

namespace flownet {

// True when the name holds "{n}".
bool isNumberedName(const std::string& name);

// The name with every "{n}" replaced by n.
std::string numberedName(const std::string& name, int n);

class RunOutputs {
public:
    // `networks`: the network files the run reads, never outputs.
    RunOutputs(std::ostream& standardOutput, bool force, const std::vector<std::string>& networks);

    // Opens `name` for the option `option` after the checks above. Throws OutputFailure.
    OutputFile& open(const std::string& option, const std::string& name);
    // The same checks without opening anything, for the first name of a numbered output before
    // the run begins; `others` are such names checked already, which it must not meet either.
    void check(const std::string& option, const std::string& name,
               const std::vector<std::pair<std::string, std::string>>& others) const;

    // Every output, in the order opened.
    const std::vector<std::unique_ptr<OutputFile>>& all() const { return outputs_; }

    // Puts every finished output in its target's place; when one cannot take it (a file created
    // meanwhile, without --force), the targets created so far are removed again, and the failure
    // is thrown.
    void commit();
    // No target changes; every temporary file is removed.
    void discard();

private:
    struct Claim {
        std::string option, name;
        FileIdentity id;
    };
    // Why `name` cannot be an output beside `claimed`, or "".
    std::string refusal(const Claim& wanted, const std::vector<Claim>& claimed) const;

    std::ostream& standardOutput_;
    bool force_;
    std::vector<std::pair<std::string, FileIdentity>> networks_;
    std::vector<Claim> claimed_;  // every output opened, in order
    std::vector<std::unique_ptr<OutputFile>> outputs_;
};

}  // namespace flownet
