#include "fuzz/ByteMutations.h"

namespace rudfuzz {

const std::vector<std::string>& AwkwardByteRuns() {
    static const std::vector<std::string> runs = {
        std::string(1, '\0'), std::string("\0\0", 2), "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\xC3\x28", "\xFF",
        "\xE4\xB8", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xC0\xAF", "\x80",
        "\\", "\"", "\\u", "\\ud800", "\\udc00", "\\u0000", "{", "}", "[", "]", ":", ",", "=", "\r\n", "\n", "%s%n",
        "\x1A", "\x7F", "\xE2\x80\xAE", "\xEF\xBF\xBF", "\xF0\x9F\x98\x80",
    };
    return runs;
}

namespace {

void Step(std::string& data, FuzzRandom& random, const std::vector<std::string>& donors) {
    const size_t size = data.size();
    switch (random.Below(11)) {
    case 0:  // bit flip
        if (size) data[random.Below(size)] ^= static_cast<char>(1u << random.Below(8));
        break;
    case 1: {  // byte overwrite, often with a byte that means something
        if (!size) break;
        static const char kBytes[] = {'\0', '\xFF', '\x7F', '\x80', '{', '}', '[', ']', '"', '\\', ',', ':', '=', '\n', ' ', '0', '9', '-'};
        data[random.Below(size)] = random.OneIn(2) ? random.Pick(kBytes) : static_cast<char>(random.Next());
        break;
    }
    case 2: {  // insert a random run
        std::string run(random.Length(8, 4096), '\0');
        for (char& c : run) c = static_cast<char>(random.Next());
        data.insert(random.Below(size + 1), run);
        break;
    }
    case 3: {  // insert an awkward run
        data.insert(random.Below(size + 1), random.Pick(AwkwardByteRuns()));
        break;
    }
    case 4: {  // delete a run
        if (!size) break;
        const size_t at = random.Below(size);
        data.erase(at, random.Length(16, size));
        break;
    }
    case 5: {  // duplicate a run in place
        if (!size) break;
        const size_t at = random.Below(size);
        const std::string run = data.substr(at, random.Length(32, size));
        for (size_t times = 1 + random.Length(1, 200); times > 0; --times) data.insert(at, run);
        break;
    }
    case 6: {  // splice a run of a donor
        if (donors.empty()) break;
        const std::string& donor = random.Pick(donors);
        if (donor.empty()) break;
        const size_t from = random.Below(donor.size());
        data.insert(random.Below(size + 1), donor.substr(from, random.Length(64, donor.size())));
        break;
    }
    case 7:  // truncate
        data.resize(random.Below(size + 1));
        break;
    case 8: {  // move a run elsewhere
        if (size < 2) break;
        const size_t at = random.Below(size);
        const std::string run = data.substr(at, random.Length(32, size));
        data.erase(at, run.size());
        data.insert(random.Below(data.size() + 1), run);
        break;
    }
    case 9: {  // a long run of one byte (digits, spaces, brackets)
        static const char kFill[] = {'9', ' ', '[', '{', 'a', '\\', '"', '\0', '\xE4'};
        data.insert(random.Below(size + 1), std::string(random.Length(64, 70000), random.Pick(kFill)));
        break;
    }
    default: {  // swap two bytes
        if (size < 2) break;
        std::swap(data[random.Below(size)], data[random.Below(size)]);
        break;
    }
    }
}

} // namespace

std::string MutateBytes(std::string input, FuzzRandom& random, const std::vector<std::string>& donors,
                        size_t maxSteps, size_t maxSize) {
    for (size_t steps = 1 + random.Below(maxSteps); steps > 0; --steps) {
        Step(input, random, donors);
        if (input.size() > maxSize) input.resize(maxSize);
    }
    return input;
}

} // namespace rudfuzz
