// A baseline JPEG's Huffman-coded blocks read at the speed the album needs.
// The data is hostile until proven otherwise: every read is bounds-checked,
// and whatever the scan does not understand or finds wrong makes it decline,
// so libjpeg-turbo (and its messages) decide about such files.
#include "platform/JpegScan.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform::pictures::jpegscan {

namespace {

std::atomic<int> threadsChosen { 0 };

// Thrown inside the scan, caught at its two entry points: "not for us".
struct Declined { };

constexpr int fastBits = 11;

// From the order coefficients are coded in to libjpeg's natural order. Beyond
// 63 every run ends, so the tables need no bound on what the data says.
constexpr std::array<uint8_t, 64> zigzag { 0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26,
    33, 40, 48, 41, 34, 27, 20, 13, 6, 7, 14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37,
    44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63 };

constexpr uint8_t endOfBlock = 0xFF;

// One lookup decodes a short code together with the magnitude bits after it.
struct FastEntry {
    uint8_t bits = 0; // code and magnitude bits together; 0: take the slow path
    uint8_t advance = 0; // coefficients the symbol covers, or endOfBlock
    int16_t value = 0;
};

// Several symbols of a block whose coefficients are only skipped, decoded
// in one lookup: as many short ones as the lookahead holds, up to the end of
// the block.
constexpr int multiBits = 12;
struct SkipEntry {
    uint8_t bits = 0; // 0: the first symbol does not fit
    uint8_t advance = 0; // coefficients covered, the end of block not counted
    uint8_t endsBlock = 0;
    uint8_t unused = 0; // four bytes: an index times four needs no extra step
};

int extend(int raw, int size)
{
    return size == 0 ? 0 : (raw < (1 << (size - 1)) ? raw - (1 << size) + 1 : raw);
}

struct HuffmanTable {
    bool defined = false;
    std::array<uint8_t, 17> counts {};
    std::array<uint8_t, 256> values {};
    std::array<int, 18> maxCode {};
    std::array<int, 17> valueOffset {};
    std::array<FastEntry, 1 << fastBits> fast {};
    std::array<SkipEntry, 1 << multiBits> skip {};

    // As libjpeg builds its decoding tables, refusing what it refuses.
    void build(bool dc)
    {
        int total = 0;
        for (int length = 1; length <= 16; ++length)
            total += counts[std::size_t(length)];
        if (total > 256)
            throw Declined {};
        if (dc)
            for (int i = 0; i < total; ++i)
                if (values[std::size_t(i)] > 15)
                    throw Declined {};
        int code = 0;
        int index = 0;
        fast.fill({});
        for (int length = 1; length <= 16; ++length) {
            const int count = counts[std::size_t(length)];
            valueOffset[std::size_t(length)] = index - code;
            for (int i = 0; i < count; ++i, ++code, ++index) {
                if (length <= fastBits)
                    fill(length, code, values[std::size_t(index)], dc);
            }
            maxCode[std::size_t(length)] = count ? code - 1 : -1;
            // No code may be all ones, as libjpeg insists.
            if (count && code >= (1 << length))
                throw Declined {};
            code <<= 1;
        }
        maxCode[17] = 0x7FFFFFFF;
        if (!dc)
            buildSkip();
    }

    // The symbol at the top of `bits` (`available` of them valid): its length
    // with the magnitude bits, or 0 if it does not end within them.
    int symbolAt(uint32_t bits, int available, int& run, int& size) const
    {
        for (int length = 1; length <= std::min(available, 16); ++length) {
            const int code = int(bits >> (32 - length));
            if (code <= maxCode[std::size_t(length)]) {
                const int symbol
                    = values[std::size_t(std::clamp(valueOffset[std::size_t(length)] + code, 0, 255))];
                run = symbol >> 4;
                size = symbol & 15;
                return length + size <= available ? length + size : 0;
            }
        }
        return 0;
    }

    void buildSkip()
    {
        for (uint32_t index = 0; index < (1u << multiBits); ++index) {
            SkipEntry entry;
            int used = 0;
            int advance = 0;
            while (used < multiBits) {
                int run = 0;
                int size = 0;
                const int length
                    = symbolAt(uint32_t(index << (32 - multiBits)) << used, multiBits - used, run, size);
                if (length == 0)
                    break;
                used += length;
                if (size == 0 && run != 15) {
                    entry.endsBlock = 1;
                    break;
                }
                advance += size == 0 ? 16 : run + 1;
                if (advance >= 64)
                    break; // the entry is never used past the block's end
            }
            if (used > 0 && (advance < 64 || entry.endsBlock)) {
                entry.bits = uint8_t(used);
                entry.advance = uint8_t(std::min(advance, 64));
            }
            skip[index] = entry;
        }
    }

    void fill(int length, int code, uint8_t symbol, bool dc)
    {
        const int run = dc ? 0 : symbol >> 4;
        const int size = dc ? symbol : symbol & 15;
        const int first = code << (fastBits - length);
        const int span = 1 << (fastBits - length);
        for (int i = 0; i < span; ++i) {
            FastEntry& entry = fast[std::size_t(first + i)];
            if (!dc && size == 0) {
                entry = { uint8_t(length), uint8_t(run == 15 ? 16 : endOfBlock), 0 };
            } else if (length + size <= fastBits) {
                const int raw = (i >> (fastBits - length - size)) & ((1 << size) - 1);
                entry = { uint8_t(length + size), uint8_t(run + 1), int16_t(extend(raw, size)) };
            }
        }
    }
};

// The entropy-coded data with its stuffed zero bytes taken out, so that any
// bit position is read without a branch. Restart markers are noted where they
// stood; any other marker ends the data. Zero bytes follow the end, as libjpeg
// supplies zeros past it, and a block that reads into them makes the scan
// decline.
struct EntropyData {
    const uint8_t* bytes = nullptr;
    uint64_t bitLength = 0;
    std::vector<std::pair<uint64_t, int>> restarts; // bit position after each marker, its number

    // A block reads at most 63 codes and DC, of 31 bits each, and a lookup
    // eight bytes: the scan checks for an overrun after each block.
    static constexpr std::size_t tail = 512;
    // The copy's memory is kept for the next picture, up to this size: fresh
    // pages cost the system more than copying the data into them.
    static constexpr std::size_t keptBytes = 32 * 1024 * 1024;

    EntropyData(const uint8_t* at, const uint8_t* end)
    {
        std::vector<uint8_t>& buffer = scratch();
        const std::size_t need = std::size_t(end - at) + tail;
        if (buffer.size() < need)
            buffer.resize(need);
        uint8_t* out = buffer.data();
        std::size_t length = 0;
        while (at < end) {
            const void* found = std::memchr(at, 0xFF, std::size_t(end - at));
            const uint8_t* stop = found ? static_cast<const uint8_t*>(found) : end;
            std::memcpy(out + length, at, std::size_t(stop - at));
            length += std::size_t(stop - at);
            at = stop;
            if (end - at < 2)
                break;
            if (at[1] == 0) {
                out[length++] = 0xFF;
            } else if (at[1] >= 0xD0 && at[1] <= 0xD7) {
                restarts.emplace_back(uint64_t(length) * 8, at[1] - 0xD0);
            } else {
                break;
            }
            at += 2;
        }
        bitLength = uint64_t(length) * 8;
        std::memset(out + length, 0, tail);
        bytes = out;
    }
    ~EntropyData()
    {
        std::vector<uint8_t>& buffer = scratch();
        if (buffer.size() > keptBytes)
            std::vector<uint8_t>().swap(buffer);
    }
    EntropyData(const EntropyData&) = delete;
    EntropyData& operator=(const EntropyData&) = delete;

private:
    static std::vector<uint8_t>& scratch()
    {
        thread_local std::vector<uint8_t> buffer;
        return buffer;
    }
};

// A bit buffer over EntropyData, refilled without a branch to 56 bits or more.
struct BitCursor {
    const uint8_t* base = nullptr;
    const uint8_t* next = nullptr;
    uint64_t bits = 0; // from the top; zeros below `count`
    int count = 0;

    void seek(uint64_t position)
    {
        next = base + (position >> 3);
        bits = 0;
        count = 0;
        refill();
        skip(int(position & 7));
    }
    void refill()
    {
        uint64_t word;
        std::memcpy(&word, next, 8);
        bits |= __builtin_bswap64(word) >> count;
        next += (63 - count) >> 3;
        count |= 56;
    }
    void skip(int n)
    {
        bits <<= n;
        count -= n;
    }
    uint64_t position() const { return uint64_t(next - base) * 8 - uint64_t(count); }
};

struct Component {
    int id = 0;
    int h = 1;
    int v = 1;
    int quantTable = 0;
    int dcTable = 0;
    int acTable = 0;
    int blocksWide = 0; // real blocks, without the MCU's padding
    int blocksHigh = 0;
};

struct Header {
    int width = 0;
    int height = 0;
    std::vector<Component> components;
    int maxH = 1;
    int maxV = 1;
    std::array<std::array<uint16_t, 64>, 4> quant {};
    std::array<bool, 4> quantDefined {};
    std::array<HuffmanTable, 4> dc;
    std::array<HuffmanTable, 4> ac;
    int restartInterval = 0;
    bool jfif = false;
    bool adobe = false;
    const uint8_t* scan = nullptr; // first byte of the entropy-coded data
    const uint8_t* end = nullptr;
    int mcusWide = 0;
    int mcusHigh = 0;
};

int word(const uint8_t* at)
{
    return (at[0] << 8) | at[1];
}

int ceilDiv(int a, int b)
{
    return (a + b - 1) / b;
}

void readFrame(Header& header, const uint8_t* at, int length)
{
    if (length < 6 || at[0] != 8 || !header.components.empty())
        throw Declined {};
    header.height = word(at + 1);
    header.width = word(at + 3);
    const int count = at[5];
    if (header.height == 0 || header.width == 0 || (count != 1 && count != 3) || length < 6 + 3 * count)
        throw Declined {};
    for (int i = 0; i < count; ++i) {
        const uint8_t* c = at + 6 + 3 * i;
        Component component;
        component.id = c[0];
        component.h = c[1] >> 4;
        component.v = c[1] & 15;
        component.quantTable = c[2];
        if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4
            || component.quantTable > 3)
            throw Declined {};
        header.maxH = std::max(header.maxH, component.h);
        header.maxV = std::max(header.maxV, component.v);
        header.components.push_back(component);
    }
    int blocksInMcu = 0;
    for (Component& component : header.components) {
        // libjpeg upsamples by whole factors only.
        if (header.maxH % component.h || header.maxV % component.v)
            throw Declined {};
        component.blocksWide = ceilDiv(ceilDiv(header.width * component.h, header.maxH), 8);
        component.blocksHigh = ceilDiv(ceilDiv(header.height * component.v, header.maxV), 8);
        blocksInMcu += component.h * component.v;
    }
    if (blocksInMcu > 10)
        throw Declined {};
}

void readQuant(Header& header, const uint8_t* at, int length)
{
    while (length > 0) {
        const int precision = at[0] >> 4;
        const int table = at[0] & 15;
        const int size = 1 + 64 * (precision ? 2 : 1);
        if (precision > 1 || table > 3 || length < size)
            throw Declined {};
        for (int k = 0; k < 64; ++k)
            header.quant[std::size_t(table)][zigzag[std::size_t(k)]]
                = uint16_t(precision ? word(at + 1 + 2 * k) : at[1 + k]);
        header.quantDefined[std::size_t(table)] = true;
        at += size;
        length -= size;
    }
}

void readHuffman(Header& header, const uint8_t* at, int length)
{
    while (length > 0) {
        if (length < 17)
            throw Declined {};
        const int kind = at[0] >> 4;
        const int slot = at[0] & 15;
        if (kind > 1 || slot > 3)
            throw Declined {};
        HuffmanTable& table = kind == 0 ? header.dc[std::size_t(slot)] : header.ac[std::size_t(slot)];
        int total = 0;
        for (int i = 1; i <= 16; ++i) {
            table.counts[std::size_t(i)] = at[i];
            total += at[i];
        }
        if (total > 256 || length < 17 + total)
            throw Declined {};
        std::memcpy(table.values.data(), at + 17, std::size_t(total));
        table.defined = true;
        at += 17 + total;
        length -= 17 + total;
    }
}

void readScanHeader(Header& header, const uint8_t* at, int length)
{
    const int count = length > 0 ? at[0] : 0;
    if (header.components.empty() || count != int(header.components.size()) || length < 4 + 2 * count)
        throw Declined {};
    for (int i = 0; i < count; ++i) {
        Component& component = header.components[std::size_t(i)];
        if (at[1 + 2 * i] != component.id)
            throw Declined {};
        component.dcTable = at[2 + 2 * i] >> 4;
        component.acTable = at[2 + 2 * i] & 15;
        if (component.dcTable > 3 || component.acTable > 3
            || !header.dc[std::size_t(component.dcTable)].defined
            || !header.ac[std::size_t(component.acTable)].defined
            || !header.quantDefined[std::size_t(component.quantTable)])
            throw Declined {};
    }
    const uint8_t* spectral = at + 1 + 2 * count;
    if (spectral[0] != 0 || spectral[1] != 63 || spectral[2] != 0)
        throw Declined {};
    for (const Component& component : header.components) {
        header.dc[std::size_t(component.dcTable)].build(true);
        header.ac[std::size_t(component.acTable)].build(false);
    }
}

// The markers up to the first scan. Only a sequential Huffman file of 8-bit
// samples, grey or YCbCr, whose first scan holds every component, is read.
Header readHeader(const QByteArray& data)
{
    Header header;
    const auto* at = reinterpret_cast<const uint8_t*>(data.constData());
    const uint8_t* end = at + data.size();
    if (end - at < 4 || at[0] != 0xFF || at[1] != 0xD8)
        throw Declined {};
    at += 2;
    for (;;) {
        while (at < end && at[0] != 0xFF)
            ++at; // libjpeg skips such garbage with a warning
        while (at < end && at[0] == 0xFF)
            ++at;
        if (end - at < 3)
            throw Declined {};
        const int marker = at[0];
        const int length = word(at + 1);
        if (length < 2 || end - (at + 1) < length)
            throw Declined {};
        const uint8_t* body = at + 3;
        const int bodyLength = length - 2;
        at += 1 + length;
        switch (marker) {
        case 0xC0:
        case 0xC1:
            readFrame(header, body, bodyLength);
            break;
        case 0xC4:
            readHuffman(header, body, bodyLength);
            break;
        case 0xDB:
            readQuant(header, body, bodyLength);
            break;
        case 0xDD:
            if (bodyLength < 2)
                throw Declined {};
            header.restartInterval = word(body);
            break;
        case 0xE0:
            header.jfif = header.jfif || (bodyLength >= 5 && std::memcmp(body, "JFIF", 5) == 0);
            break;
        case 0xEE:
            header.adobe = header.adobe || (bodyLength >= 5 && std::memcmp(body, "Adobe", 5) == 0);
            break;
        case 0xDA:
            readScanHeader(header, body, bodyLength);
            header.scan = at;
            header.end = end;
            break;
        default:
            // Other frame types, arithmetic coding, a second SOI, EOI or RSTn
            // before the scan: libjpeg's business.
            if ((marker >= 0xC2 && marker <= 0xCF) || (marker >= 0xD0 && marker <= 0xD9))
                throw Declined {};
            break;
        }
        if (header.scan)
            break;
    }
    // Three components are RGB, not YCbCr, when an Adobe marker may say so or
    // when, without JFIF, they are named R, G, B.
    if (header.components.size() == 3
        && (header.adobe
            || (!header.jfif && header.components[0].id == 'R' && header.components[1].id == 'G'
                && header.components[2].id == 'B')))
        throw Declined {};
    if (header.components.size() == 1) {
        header.mcusWide = header.components[0].blocksWide;
        header.mcusHigh = header.components[0].blocksHigh;
    } else {
        header.mcusWide = ceilDiv(header.width, 8 * header.maxH);
        header.mcusHigh = ceilDiv(header.height, 8 * header.maxV);
    }
    return header;
}

// A block shown as 2 × 2 pixels, as libjpeg-turbo shows the colour of a 4:2:0
// picture at an eighth of its size: each pixel the mean of a 4 × 4 quarter of
// the block. The DC term adds the same to all four; these are the rest, the
// AC terms' part, in 256ths. Only rows and columns 0, 1, 3, 5 and 7 of the
// coefficients have a part in a quarter's mean.
std::array<int32_t, 4> quadrantTerms(
    const int16_t* block, const std::array<uint16_t, 64>& quant, int lastCoded)
{
    // parts[at][quarter]: what coefficient `at` (natural order), dequantised,
    // adds to the mean of each quarter.
    static const auto parts = [] {
        std::array<double, 8> weight {}; // C(k) times the mean of frequency k's cosine over half the block
        for (int k = 0; k < 8; ++k) {
            double mean = 0;
            for (int x = 0; x < 4; ++x)
                mean += std::cos((2 * x + 1) * k * M_PI / 16) / 4;
            weight[std::size_t(k)] = (k == 0 ? 1 / std::sqrt(2.0) : 1.0) * mean;
        }
        std::array<std::array<double, 4>, 64> result {};
        for (std::size_t row = 0; row < 8; ++row)
            for (std::size_t column = 0; column < 8; ++column)
                for (std::size_t quarter = 0; quarter < 4; ++quarter) {
                    const double down = quarter / 2 && row % 2 ? -1 : 1;
                    const double across = quarter % 2 && column % 2 ? -1 : 1;
                    result[row * 8 + column][quarter] = weight[row] * down * weight[column] * across / 4;
                }
        return result;
    }();
    std::array<double, 4> sums {};
    for (int k = 1; k <= lastCoded; ++k) {
        const std::size_t at = zigzag[std::size_t(k)];
        if (block[at] == 0)
            continue;
        const double value = double(block[at]) * quant[at];
        for (std::size_t quarter = 0; quarter < 4; ++quarter)
            sums[quarter] += value * parts[at][quarter];
    }
    std::array<int32_t, 4> terms {};
    for (std::size_t i = 0; i < 4; ++i)
        terms[i] = int32_t(std::lround(std::clamp(sums[i] * 256, -1e9, 1e9)));
    return terms;
}

// Walks the scan MCU by MCU, handing every block to a visitor: the component,
// the block's place, its DC value (after prediction, as libjpeg stores it)
// and, where asked for, its coefficients.
class Scanner {
public:
    // `quadrantComponents`: a bit for each component whose blocks are wanted
    // as 2 × 2 pixels (see quadrantTerms()).
    explicit Scanner(const Header& header, uint32_t quadrantComponents = 0)
        : m_header(header)
        , m_data(header.scan, header.end)
        , m_quadrantComponents(quadrantComponents)
    {
        if (header.components.size() == 1) {
            m_layout.push_back({ 0, 0, 0 });
        } else {
            for (int c = 0; c < int(header.components.size()); ++c) {
                const Component& component = header.components[std::size_t(c)];
                for (int y = 0; y < component.v; ++y)
                    for (int x = 0; x < component.h; ++x)
                        m_layout.push_back({ c, x, y });
            }
        }
    }

    // Decodes MCU rows [0, lastRow]; `visit(c, blockX, blockY, dc, coefficients,
    // quadrants)` gets every block in order, with coefficients (natural order)
    // only where `full(mcuY, mcuX)` holds, null elsewhere, and the quadrant
    // terms for the components the scanner was made to give them for.
    //
    // Huffman-coded data can only be read from its start, but a reader started
    // anywhere soon falls into step with the codes. So other threads read
    // later stretches from a guessed start, noting where each block began;
    // this thread reads from the start, and where it reaches a block start
    // another one noted (same bit, same place in the MCU), everything that
    // reader found from there on is what this one would have found. Their DC
    // values need only this thread's predictors. With restart markers a
    // stretch starts at one, in step from the outset. Without agreement this
    // thread just reads on, so the result never depends on the guesses.
    template <typename Full, typename Visit> void run(int lastRow, Full full, Visit visit)
    {
        const int64_t endMcu = int64_t(lastRow + 1) * m_header.mcusWide;
        // Where the last wanted row ends, supposing rows of equal length.
        const uint64_t end = m_data.bitLength * uint64_t(lastRow + 1) / uint64_t(m_header.mcusHigh);
        const int chosen = threadsChosen.load();
        const int threads = chosen > 0 ? chosen
            : end < minimumBitsPerThread
            ? 1
            : int(std::clamp(std::thread::hardware_concurrency(), 1u, unsigned(maxThreads)));
        std::vector<std::unique_ptr<Partial>> partials;
        std::vector<std::thread> workers;
        // Whatever happens, no reader is left running: told to stop, waited for,
        // and its notes' memory kept for the next picture.
        struct Finish {
            std::vector<std::unique_ptr<Partial>>& partials;
            std::vector<std::thread>& workers;
            ~Finish()
            {
                for (auto& partial : partials)
                    partial->cancel = true;
                for (std::thread& worker : workers)
                    worker.join();
                for (auto& partial : partials)
                    partial->notes.giveBack();
            }
        } finish { partials, workers };
        // The readers' stretches are a little longer than this thread's: it
        // has the catching up to do after its own.
        const auto boundary = [&](int k) { return uint64_t(double(end) * (k - 0.1) / threads); };
        for (int i = 1; i < threads; ++i) {
            auto partial = std::make_unique<Partial>();
            partial->start = boundary(i);
            // The last one reads a little past the estimate, rows being of
            // unequal length; short of the end, this thread reads on.
            partial->stop = std::min(m_data.bitLength, i + 1 < threads ? boundary(i + 1) : end + end / 32);
            if (m_header.restartInterval) {
                const auto next = std::lower_bound(m_data.restarts.begin(), m_data.restarts.end(),
                    std::pair<uint64_t, int>(partial->start, -1));
                if (next == m_data.restarts.end() || next->first >= partial->stop)
                    continue; // nothing for this one to read
                partial->exact = true;
                partial->firstMcu = int64_t(next - m_data.restarts.begin() + 1) * m_header.restartInterval;
                partial->start = next->first;
            }
            if (partial->start >= partial->stop)
                continue;
            // A block takes two bits at least.
            partial->notes.prepare(std::size_t((partial->stop - partial->start) / 2 + 2));
            Partial& reader = *partial;
            partials.push_back(std::move(partial));
            try {
                workers.emplace_back([this, &reader] { readAhead(reader); });
            } catch (const std::system_error&) {
                partials.pop_back(); // no thread: this one reads that stretch too
            }
        }
        WalkState state;
        const auto visitAll = [&](const BlockInfo& block) {
            visit(block.component, block.blockX, block.blockY, block.dc, block.coefficients, block.quadrants);
        };
        const auto& wanted = full;
        walk(state, endMcu, partials.empty() ? ~uint64_t(0) : partials.front()->start, -1, wanted, visitAll);
        for (auto& partial : partials) {
            if (state.mcu >= endMcu)
                break;
            const std::optional<std::size_t> from = catchUp(state, *partial, endMcu, wanted, visitAll);
            if (from)
                takeOver(state, *partial, *from, endMcu, wanted, visitAll);
            partial->cancel = true; // whatever it reads now is of no use
        }
        walk(state, endMcu, ~uint64_t(0), -1, wanted, visitAll);
    }

private:
    static constexpr int maxThreads = 4;
    // Below this a thread costs more than it saves.
    static constexpr uint64_t minimumBitsPerThread = 4 * 1024 * 1024;

    struct Place {
        int component;
        int x;
        int y;
    };

    // Where the walk is: the next block (its MCU and place in it), the bit it
    // starts at, and the DC predictors.
    struct WalkState {
        int64_t mcu = 0;
        int layout = 0;
        uint64_t position = 0;
        std::array<uint32_t, 4> predictor {};
    };

    struct BlockInfo {
        uint64_t start;
        int component;
        int blockX;
        int blockY;
        int16_t dc;
        uint32_t predictor;
        int layout;
        const int16_t* coefficients;
        std::array<int32_t, 4> quadrants; // see quadrantTerms(), where asked for
    };

    // A block start a reader passed, with its place in the MCU as that reader
    // counted it and the reader's own DC predictor after the block.
    struct Note {
        uint64_t start;
        uint32_t predictor;
        uint8_t layout;
        std::array<int32_t, 4> quadrants;
    };

    // Notes written by one thread while another reads them: in chunks that
    // never move, each note visible to the reader once the count published
    // after it covers it. Chunks are kept for the next picture, up to a size.
    class NoteLog {
    public:
        static constexpr std::size_t chunkNotes = 4096;
        static constexpr std::size_t keptChunks = 64 * 1024 * 1024 / (chunkNotes * sizeof(Note));

        // Before the writer starts: room for `most` notes.
        void prepare(std::size_t most)
        {
            m_chunks.resize(most / chunkNotes + 1);
            for (auto& chunk : m_chunks) {
                if (spare().empty())
                    break;
                chunk = std::move(spare().back());
                spare().pop_back();
            }
        }
        // The writer's.
        void push(const Note& note)
        {
            std::unique_ptr<Note[]>& chunk = m_chunks[m_written / chunkNotes];
            if (!chunk)
                chunk = std::make_unique<Note[]>(chunkNotes);
            chunk[m_written % chunkNotes] = note;
            m_published.store(++m_written, std::memory_order_release);
        }
        // The reader's.
        std::size_t published() const { return m_published.load(std::memory_order_acquire); }
        const Note& operator[](std::size_t i) const { return m_chunks[i / chunkNotes][i % chunkNotes]; }
        // Once the writer has stopped.
        void giveBack()
        {
            for (auto& chunk : m_chunks)
                if (chunk && spare().size() < keptChunks)
                    spare().push_back(std::move(chunk));
            m_chunks.clear();
        }

    private:
        static std::vector<std::unique_ptr<Note[]>>& spare()
        {
            thread_local std::vector<std::unique_ptr<Note[]>> chunks;
            return chunks;
        }
        std::vector<std::unique_ptr<Note[]>> m_chunks;
        std::size_t m_written = 0;
        std::atomic<std::size_t> m_published { 0 };
    };

    // What a thread reads ahead, while this one reads it.
    struct Partial {
        uint64_t start = 0;
        uint64_t stop = 0;
        bool exact = false; // started at a restart marker, as MCU firstMcu
        int64_t firstMcu = 0;
        NoteLog notes;
        // A reader out of step meets codes that make no sense and starts
        // again a bit further on: where each such run of notes ends, and the
        // bit after its last block. A run's end is known before any note of
        // the next is published.
        struct RunEnd {
            std::size_t notes;
            uint64_t position;
            // The reader's predictors there: the true ones when it started at
            // a restart marker, whatever restarts it passed since.
            std::array<uint32_t, 4> predictor;
        };
        std::mutex runsLock;
        std::vector<RunEnd> runs;
        std::atomic<bool> done { false };
        std::atomic<bool> cancel { false };

        // The end of the run holding note `index`, once known.
        std::optional<RunEnd> runEnd(std::size_t index)
        {
            const std::lock_guard<std::mutex> lock(runsLock);
            for (const RunEnd& run : runs)
                if (run.notes > index)
                    return run;
            return std::nullopt;
        }
        // Where the run holding note `index` began.
        std::size_t runStart(std::size_t index)
        {
            const std::lock_guard<std::mutex> lock(runsLock);
            std::size_t begin = 0;
            for (const RunEnd& run : runs) {
                if (run.notes > index)
                    break;
                begin = run.notes;
            }
            return begin;
        }
    };

    void readAhead(Partial& partial) const
    {
        WalkState state;
        state.mcu = partial.exact ? partial.firstMcu : 0;
        state.position = partial.start;
        const auto note = [&](const BlockInfo& block) {
            partial.notes.push({ block.start, block.predictor, uint8_t(block.layout), block.quadrants });
        };
        for (;;) {
            bool broke = false;
            try {
                walk(
                    state, std::numeric_limits<int64_t>::max(), partial.stop, -1,
                    [](int, int) { return false; }, note, &partial.cancel);
            } catch (const Declined&) {
                broke = true;
            }
            {
                const std::lock_guard<std::mutex> lock(partial.runsLock);
                partial.runs.push_back({ partial.notes.published(), state.position, state.predictor });
            }
            // In step from a restart marker, a break is corrupt data, which
            // the first thread will meet itself.
            if (!broke || partial.exact || partial.cancel || state.position + 1 >= partial.stop)
                break;
            const uint64_t next = state.position + 1;
            state = WalkState {};
            state.position = next;
        }
        partial.done.store(true, std::memory_order_release);
    }

    // Notes up to `index` published, or false if the reader stopped short.
    static bool waitFor(Partial& partial, std::size_t index)
    {
        while (partial.notes.published() <= index) {
            if (partial.done.load(std::memory_order_acquire))
                return partial.notes.published() > index;
            std::this_thread::yield();
        }
        return true;
    }

    // Reads on block by block until this walk stands where `partial` noted a
    // block start; answers that note's index, or nothing.
    template <typename Wanted, typename Visit>
    std::optional<std::size_t> catchUp(
        WalkState& state, Partial& partial, int64_t endMcu, Wanted wanted, Visit visit) const
    {
        if (partial.exact) {
            walk(state, std::min(partial.firstMcu, endMcu), ~uint64_t(0), -1, wanted, visit);
            if (state.mcu != partial.firstMcu || state.layout != 0)
                return std::nullopt;
            const uint64_t aligned = (state.position + 7) & ~uint64_t(7);
            if (aligned != partial.start)
                throw Declined {}; // as the walk's own restart check would
            state.position = aligned;
            state.predictor.fill(0); // the restart the partial began at
            return std::size_t(0);
        }
        std::size_t at = 0;
        while (state.mcu < endMcu) {
            for (;;) {
                if (!waitFor(partial, at))
                    return std::nullopt;
                if (partial.notes[at].start >= state.position)
                    break;
                ++at;
            }
            const Note& candidate = partial.notes[at];
            if (candidate.start == state.position && candidate.layout == state.layout)
                return at;
            walk(state, endMcu, ~uint64_t(0), 1, wanted, visit);
        }
        return std::nullopt;
    }

    // Takes the blocks `partial` reads from note `from` on as this walk's own,
    // as they come.
    template <typename Wanted, typename Visit>
    void takeOver(WalkState& state, Partial& partial, std::size_t from, int64_t endMcu, Wanted wanted,
        Visit visit) const
    {
        // The partial's predictors differ from the true ones by a constant per
        // component from the agreed block on. Each run of notes began with
        // predictors of 0 (or at a restart marker, with the true ones): the
        // last note of a component before `from` in the same run gives the
        // partial's predictor there.
        std::array<uint32_t, 4> offset = state.predictor;
        std::array<bool, 4> seen {};
        const std::size_t runStart = partial.runStart(from);
        for (std::size_t i = from; i-- > runStart;) {
            const int c = m_layout[partial.notes[i].layout].component;
            if (!seen[std::size_t(c)]) {
                seen[std::size_t(c)] = true;
                offset[std::size_t(c)] = state.predictor[std::size_t(c)] - partial.notes[i].predictor;
            }
            if (std::count(seen.begin(), seen.end(), true) == int(m_header.components.size()))
                break;
        }
        if (partial.exact)
            offset.fill(0);
        std::array<int16_t, 64> block {};
        int mcuX = int(state.mcu % m_header.mcusWide);
        int mcuY = int(state.mcu / m_header.mcusWide);
        std::size_t i = from;
        for (;;) {
            // Everything published, and the end of the run of `from` if it
            // is known by then.
            const std::size_t available = partial.notes.published();
            const std::optional<Partial::RunEnd> runEnd = partial.runEnd(from);
            const std::size_t last = runEnd ? std::min(available, runEnd->notes) : available;
            for (; i < last && state.mcu < endMcu; ++i) {
                const Note& note = partial.notes[i];
                const Place& place = m_layout[std::size_t(state.layout)];
                const Component& component = m_header.components[std::size_t(place.component)];
                uint32_t& predictor = state.predictor[std::size_t(place.component)];
                predictor = note.predictor + offset[std::size_t(place.component)];
                const int16_t* coefficients = nullptr;
                if (wanted(mcuY, mcuX)) {
                    // Read again, this time keeping what the partial skipped.
                    BitCursor cursor;
                    cursor.base = m_data.bytes;
                    cursor.seek(note.start);
                    block.fill(0);
                    int diff;
                    decodeBlock(cursor, component, diff, block.data());
                    coefficients = block.data();
                }
                block[0] = int16_t(predictor);
                visit(blockAt(state, mcuX, mcuY, note.start, predictor, coefficients, note.quadrants));
                advance(state, mcuX, mcuY);
                state.position = i + 1 < last ? partial.notes[i + 1].start : 0;
            }
            if (state.mcu >= endMcu)
                return;
            if (runEnd && i >= runEnd->notes) {
                takeEnd(state, partial, *runEnd);
                return;
            }
            // The reader has not got further yet.
            if (!waitFor(partial, i)) {
                // It stopped, and so its last run has ended.
                if (i > from) {
                    const std::optional<Partial::RunEnd> final = partial.runEnd(from);
                    if (!final)
                        throw Declined {}; // cannot be: a reader always ends its run
                    takeEnd(state, partial, *final);
                }
                return;
            }
            state.position = partial.notes[i].start;
        }
    }

    // Where a taken-over run ends, this walk goes on. A reader in step from a
    // restart marker knows the true predictors, also of components it has
    // not met since the last restart it passed.
    static void takeEnd(WalkState& state, const Partial& partial, const Partial::RunEnd& end)
    {
        state.position = end.position;
        if (partial.exact)
            state.predictor = end.predictor;
    }

    // The block the walk stands at, as a visitor sees it.
    BlockInfo blockAt(const WalkState& state, int mcuX, int mcuY, uint64_t start, uint32_t predictor,
        const int16_t* coefficients, const std::array<int32_t, 4>& quadrants) const
    {
        const Place& place = m_layout[std::size_t(state.layout)];
        const Component& component = m_header.components[std::size_t(place.component)];
        const bool single = m_header.components.size() == 1;
        return { start, place.component, single ? mcuX : mcuX * component.h + place.x,
            single ? mcuY : mcuY * component.v + place.y, int16_t(predictor), predictor, state.layout,
            coefficients, quadrants };
    }

    // On to the next block; (mcuX, mcuY) is the MCU's place.
    void advance(WalkState& state, int& mcuX, int& mcuY) const
    {
        if (++state.layout == int(m_layout.size())) {
            state.layout = 0;
            ++state.mcu;
            if (++mcuX == m_header.mcusWide) {
                mcuX = 0;
                ++mcuY;
            }
        }
    }

    // Decodes from `state` until MCU `toMcu`, until a block would start at or
    // after `stopPosition`, or for `blocks` blocks (all if negative).
    template <typename Wanted, typename Visit>
    void walk(WalkState& state, int64_t toMcu, uint64_t stopPosition, int blocks, Wanted wanted, Visit visit,
        const std::atomic<bool>* cancel = nullptr) const
    {
        std::array<int16_t, 64> block {};
        BitCursor cursor;
        cursor.base = m_data.bytes;
        cursor.seek(state.position);
        const auto segmentEnd = [&](uint64_t position) {
            const auto next = std::upper_bound(
                m_data.restarts.begin(), m_data.restarts.end(), std::pair<uint64_t, int>(position, 8));
            return next == m_data.restarts.end() ? m_data.bitLength : next->first;
        };
        uint64_t limit = segmentEnd(state.position);
        const int interval = m_header.restartInterval;
        int mcuX = int(state.mcu % m_header.mcusWide);
        int mcuY = int(state.mcu / m_header.mcusWide);
        bool wantAll = state.layout == 0 ? false : wanted(mcuY, mcuX);
        while (state.mcu < toMcu && blocks != 0) {
            if (state.layout == 0) {
                if (cancel && cancel->load(std::memory_order_relaxed))
                    throw Declined {};
                if (interval && state.mcu > 0 && state.mcu % interval == 0) {
                    // The data before a restart marker ends on it, and the
                    // marker is the one expected; libjpeg resynchronises
                    // otherwise, which is not for us.
                    const uint64_t aligned = (cursor.position() + 7) & ~uint64_t(7);
                    const auto index = std::size_t(state.mcu / interval - 1);
                    if (index >= m_data.restarts.size() || m_data.restarts[index].first != aligned
                        || m_data.restarts[index].second != int(index & 7))
                        throw Declined {};
                    cursor.seek(aligned);
                    limit = segmentEnd(aligned);
                    state.predictor.fill(0);
                }
                wantAll = wanted(mcuY, mcuX);
            }
            const uint64_t start = cursor.position();
            if (start >= stopPosition)
                break;
            const Place& place = m_layout[std::size_t(state.layout)];
            const Component& component = m_header.components[std::size_t(place.component)];
            int diff;
            const bool quadrants = (m_quadrantComponents >> place.component) & 1;
            std::array<int32_t, 4> terms {};
            int lastCoded = 0;
            if (wantAll || quadrants) {
                lastCoded = decodeBlock(cursor, component, diff, block.data());
                if (quadrants && lastCoded > 0)
                    terms = quadrantTerms(
                        block.data(), m_header.quant[std::size_t(component.quantTable)], lastCoded);
            } else {
                decodeBlock(cursor, component, diff, nullptr);
            }
            if (cursor.position() > limit)
                throw Declined {};
            // The predictor wraps around as libjpeg-turbo's does, and is
            // stored in 16 bits.
            uint32_t& last = state.predictor[std::size_t(place.component)];
            last += uint32_t(diff);
            block[0] = int16_t(last);
            visit(blockAt(state, mcuX, mcuY, start, last, wantAll ? block.data() : nullptr, terms));
            // The block goes back to zeros where it was written, which for
            // the few coefficients of most blocks is cheaper than clearing it.
            for (int k = 0; k <= lastCoded; ++k)
                block[zigzag[std::size_t(k)]] = 0;
            state.position = cursor.position();
            advance(state, mcuX, mcuY);
            if (blocks > 0)
                --blocks;
        }
        state.position = cursor.position();
    }

    // One block at the cursor.
    // Answers the coding position (zigzag) of the last coefficient stored.
    [[gnu::always_inline]] int decodeBlock(
        BitCursor& cursor, const Component& component, int& diff, int16_t* coefficients) const
    {
        int lastCoded = 0;
        const HuffmanTable& dcTable = m_header.dc[std::size_t(component.dcTable)];
        cursor.refill();
        const FastEntry& dcEntry = dcTable.fast[cursor.bits >> (64 - fastBits)];
        if (dcEntry.bits) {
            cursor.skip(dcEntry.bits);
            diff = dcEntry.value;
        } else {
            int length;
            const int size = slowSymbol(dcTable, cursor.bits, length);
            diff = size ? extend(int((cursor.bits << length) >> (64 - size)), size) : 0;
            cursor.skip(length + size);
        }
        const HuffmanTable& acTable = m_header.ac[std::size_t(component.acTable)];
        // One lookup of several symbols of a block whose coefficients are
        // not kept: 0 to go on, 1 at the block's end, 2 for a symbol the
        // table does not hold or one near the block's end.
        const auto skipSome = [&](int& k) {
            const SkipEntry& run = acTable.skip[cursor.bits >> (64 - multiBits)];
            if (!run.bits || k + run.advance >= 64)
                return 2;
            cursor.skip(run.bits);
            k += run.advance;
            return int(run.endsBlock);
        };
        for (int k = 1; k < 64;) {
            cursor.refill();
            if (!coefficients) {
                // Four lookups of 12 bits fit in one refill; after the second
                // there is still room for one symbol of 31 bits.
                int result = skipSome(k);
                if (result == 0) {
                    result = skipSome(k);
                    if (result == 0) {
                        result = skipSome(k);
                        if (result == 0)
                            result = skipSome(k);
                    }
                }
                if (result == 1)
                    break;
                if (result == 0)
                    continue;
                cursor.refill();
            }
            int advance;
            int value;
            const FastEntry& entry = acTable.fast[cursor.bits >> (64 - fastBits)];
            if (entry.bits) {
                cursor.skip(entry.bits);
                if (entry.advance == endOfBlock)
                    break;
                advance = entry.advance;
                value = entry.value;
            } else {
                int length;
                const int symbol = slowSymbol(acTable, cursor.bits, length);
                const int run = symbol >> 4;
                const int size = symbol & 15;
                const uint64_t bits = cursor.bits;
                cursor.skip(length + size);
                if (size == 0 && run != 15)
                    break;
                advance = size == 0 ? 16 : run + 1;
                value = size ? extend(int((bits << length) >> (64 - size)), size) : 0;
            }
            k += advance;
            if (k > 64)
                throw Declined {};
            if (coefficients) {
                coefficients[zigzag[std::size_t(k - 1)]] = int16_t(value);
                lastCoded = k - 1;
            }
        }
        return lastCoded;
    }

    // A code longer than the fast table, or one whose magnitude bits do not
    // fit in it, at the top of `bits`.
    static int slowSymbol(const HuffmanTable& table, uint64_t bits, int& length)
    {
        const auto next = uint32_t(bits >> 48);
        for (length = 1; length <= 16; ++length) {
            const int code = int(next >> (16 - length));
            if (code <= table.maxCode[std::size_t(length)]) {
                const int index = table.valueOffset[std::size_t(length)] + code;
                if (index < 0 || index > 255)
                    throw Declined {};
                return table.values[std::size_t(index)];
            }
        }
        throw Declined {}; // no such code: corrupt data
    }

    const Header& m_header;
    EntropyData m_data;
    uint32_t m_quadrantComponents = 0;
    std::vector<Place> m_layout;
};

// libjpeg's scaled IDCT of a lone DC term, with its range limit (which wraps
// beyond ±512).
uint8_t eighthSample(int dc, int quant)
{
    const int value = (int(int16_t(dc)) * int(int16_t(quant)) + 4) >> 3;
    const int wrapped = ((value & 1023) ^ 512) - 512;
    return uint8_t(std::clamp(128 + wrapped, 0, 255));
}

// libjpeg's YCbCr to RGB, in its fixed point.
struct ColourTables {
    std::array<int, 256> crToR {};
    std::array<int, 256> cbToB {};
    std::array<int, 256> crToG {};
    std::array<int, 256> cbToG {};
    ColourTables()
    {
        constexpr int64_t half = 1 << 15;
        const auto fix = [](double x) { return int64_t(x * 65536 + 0.5); };
        for (int i = 0; i < 256; ++i) {
            const int64_t x = i - 128;
            crToR[std::size_t(i)] = int((fix(1.40200) * x + half) >> 16);
            cbToB[std::size_t(i)] = int((fix(1.77200) * x + half) >> 16);
            crToG[std::size_t(i)] = int(-fix(0.71414) * x);
            cbToG[std::size_t(i)] = int(-fix(0.34414) * x + half);
        }
    }
};

} // namespace

void setThreads(int threads)
{
    threadsChosen = std::max(0, threads);
}

std::optional<QImage> eighthScale(const QByteArray& data)
{
    try {
        const Header header = readHeader(data);
        const int width = ceilDiv(header.width, 8);
        const int height = ceilDiv(header.height, 8);
        const int componentCount = int(header.components.size());
        std::array<std::vector<uint8_t>, 3> planes;
        std::array<int, 3> quant {};
        // libjpeg-turbo shows a component sampled at half the resolution both
        // ways (the colour of 4:2:0) at 2 × 2 pixels a block, the others at one.
        std::array<int, 3> scale {};
        std::array<int, 3> stride {};
        uint32_t quadrantComponents = 0;
        for (int c = 0; c < componentCount; ++c) {
            const Component& component = header.components[std::size_t(c)];
            const int ratioH = header.maxH / component.h;
            const int ratioV = header.maxV / component.v;
            if (ratioH > 2 || ratioV > 2)
                return std::nullopt; // rare samplings are libjpeg's
            scale[std::size_t(c)] = ratioH == 2 && ratioV == 2 ? 2 : 1;
            if (scale[std::size_t(c)] == 2)
                quadrantComponents |= 1u << c;
            stride[std::size_t(c)] = component.blocksWide * scale[std::size_t(c)];
            planes[std::size_t(c)].assign(std::size_t(stride[std::size_t(c)])
                    * std::size_t(component.blocksHigh * scale[std::size_t(c)]),
                0);
            quant[std::size_t(c)] = header.quant[std::size_t(component.quantTable)][0];
        }
        Scanner scanner(header, quadrantComponents);
        scanner.run(
            header.mcusHigh - 1, [](int, int) { return false; },
            [&](int c, int blockX, int blockY, int dc, const int16_t*, const std::array<int32_t, 4>& terms) {
                const Component& component = header.components[std::size_t(c)];
                if (blockX >= component.blocksWide || blockY >= component.blocksHigh)
                    return;
                uint8_t* plane = planes[std::size_t(c)].data();
                const std::size_t rowLength = std::size_t(stride[std::size_t(c)]);
                if (scale[std::size_t(c)] == 1) {
                    plane[std::size_t(blockY) * rowLength + std::size_t(blockX)]
                        = eighthSample(dc, quant[std::size_t(c)]);
                    return;
                }
                const int dcPart = int(int16_t(dc)) * int(int16_t(quant[std::size_t(c)])) * 32;
                for (std::size_t i = 0; i < 4; ++i) {
                    const int64_t value = (int64_t(dcPart) + terms[i] + 128) >> 8;
                    plane[(std::size_t(blockY) * 2 + i / 2) * rowLength + std::size_t(blockX) * 2 + i % 2]
                        = uint8_t(std::clamp<int64_t>(128 + value, 0, 255));
                }
            });
        QImage image(width, height, QImage::Format_RGB32);
        if (image.isNull())
            return std::nullopt;
        if (componentCount == 1) {
            for (int y = 0; y < height; ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                const uint8_t* row = planes[0].data() + std::size_t(y) * std::size_t(stride[0]);
                for (int x = 0; x < width; ++x)
                    line[x] = qRgb(row[x], row[x], row[x]);
            }
            return image;
        }
        static const ColourTables tables;
        // libjpeg repeats each colour sample over the pixels it covers.
        std::array<std::vector<int>, 3> columns;
        for (std::size_t c = 0; c < 3; ++c) {
            const int step = header.maxH / header.components[c].h / scale[c];
            columns[c].resize(std::size_t(width));
            for (int x = 0; x < width; ++x)
                columns[c][std::size_t(x)] = x / step;
        }
        for (int y = 0; y < height; ++y) {
            std::array<const uint8_t*, 3> rows {};
            for (std::size_t c = 0; c < 3; ++c) {
                const Component& component = header.components[c];
                rows[c] = planes[c].data()
                    + std::size_t(y / (header.maxV / component.v / scale[c])) * std::size_t(stride[c]);
            }
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const int luma = rows[0][columns[0][std::size_t(x)]];
                const int cb = rows[1][columns[1][std::size_t(x)]];
                const int cr = rows[2][columns[2][std::size_t(x)]];
                const int r = luma + tables.crToR[std::size_t(cr)];
                const int g = luma + ((tables.cbToG[std::size_t(cb)] + tables.crToG[std::size_t(cr)]) >> 16);
                const int b = luma + tables.cbToB[std::size_t(cb)];
                line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
            }
        }
        return image;
    } catch (const Declined&) {
        return std::nullopt;
    }
}

std::optional<Region> region(const QByteArray& data, QRect wanted, int margin)
{
    try {
        const Header header = readHeader(data);
        const QRect picture(0, 0, header.width, header.height);
        const QRect around = wanted.adjusted(-margin, -margin, margin, margin).intersected(picture);
        if (around.isEmpty())
            return std::nullopt;
        const int single = header.components.size() == 1 ? 1 : 0;
        const int mcuWidth = single ? 8 : 8 * header.maxH;
        const int mcuHeight = single ? 8 : 8 * header.maxV;
        const int firstX = around.left() / mcuWidth;
        const int lastX = around.right() / mcuWidth;
        const int firstY = around.top() / mcuHeight;
        const int lastY = around.bottom() / mcuHeight;
        Region result;
        result.pixels = QRect(firstX * mcuWidth, firstY * mcuHeight, (lastX - firstX + 1) * mcuWidth,
            (lastY - firstY + 1) * mcuHeight)
                            .intersected(picture);
        result.quant = header.quant;
        for (const Component& component : header.components) {
            Region::Plane plane;
            plane.h = single ? 1 : component.h;
            plane.v = single ? 1 : component.v;
            plane.quantTable = component.quantTable;
            plane.blocksWide = (lastX - firstX + 1) * plane.h;
            plane.blocksHigh = (lastY - firstY + 1) * plane.v;
            plane.coefficients.assign(std::size_t(plane.blocksWide) * std::size_t(plane.blocksHigh) * 64, 0);
            result.planes.push_back(std::move(plane));
        }
        Scanner scanner(header);
        scanner.run(
            lastY, [&](int mcuY, int mcuX) { return mcuY >= firstY && mcuX >= firstX && mcuX <= lastX; },
            [&](int c, int blockX, int blockY, int, const int16_t* coefficients,
                const std::array<int32_t, 4>&) {
                if (!coefficients)
                    return;
                Region::Plane& plane = result.planes[std::size_t(c)];
                const int x = blockX - firstX * plane.h;
                const int y = blockY - firstY * plane.v;
                std::memcpy(plane.coefficients.data()
                        + (std::size_t(y) * std::size_t(plane.blocksWide) + std::size_t(x)) * 64,
                    coefficients, 64 * sizeof(int16_t));
            });
        return result;
    } catch (const Declined&) {
        return std::nullopt;
    }
}

} // namespace platform::pictures::jpegscan
