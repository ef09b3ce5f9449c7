// Loads generated XML files of 2 MB and 20 MB and walks every element, with
// CXmlDocument and with pugixml, and prints the times, their ratio and how
// each grows from the small file to the large one.
// Goal: at most 2x pugixml, and growth close to linear (about 10x).
//
// Each size is measured twice: "cold" with the C library's default memory
// settings, where every load of a large file maps fresh pages that the kernel
// must zero (both libraries pay this, and it grows faster than the file once
// the small file's memory is reused from the heap), and "warm", with the heap
// kept so that repeated loads reuse memory. Growth is judged on the warm run.
#include "formats/XmlDocument.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <chrono>
#include <malloc.h>
#include <cstdio>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace {

std::string MakeDocument(size_t targetBytes)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<virtualSets>\r\n";
    for (size_t n = 0; text.size() < targetBytes; ++n) {
        const std::string id = std::to_string(n);
        text += "<set id=\"" + id + "\" name=\"Studio " + id + " &amp; news\" time=\"1700000000\">\r\n";
        text += "<input name=\"layer " + id + "\" x=\"0.250000\" y=\"-0.500000\" zoomX=\"1.000000\" zoomY=\"0.500000\" "
                "cropping=\"0.1,0.1,0.9,0.9\" dynamic=\"false\">desk" + id + ".png</input>\r\n";
        text += "<input name=\"screen\" uvmap=\"uv.png\"><![CDATA[screen.png]]></input>\r\n";
        text += "<zoom name=\"wide\" x=\"0\" y=\"0\" zoomX=\"1\" zoomY=\"1\" zoomZ=\"1\"/>\r\n";
        text += "<!-- shot " + id + " -->\r\n<group><leaf/><leaf a=\"1\"/></group>\r\n</set>\r\n";
    }
    return text + "</virtualSets>\r\n";
}

size_t WalkOurs(const std::wstring& path)
{
    CXmlDocument doc;
    if (!doc.LoadFile(path))
        return 0;
    size_t count = 0;
    int depth = 0;
    for (;;) {
        if (doc.FindElement()) {
            ++count;
            doc.EnterElement();
            ++depth;
        } else if (depth > 0) {
            doc.LeaveElement();
            --depth;
        } else {
            return count;
        }
    }
}

size_t WalkPugi(const std::string& path)
{
    pugi::xml_document doc;
    if (!doc.load_file(path.c_str()))
        return 0;
    size_t count = 0;
    std::vector<pugi::xml_node> stack{doc};
    while (!stack.empty()) {
        const pugi::xml_node node = stack.back();
        stack.pop_back();
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (child.type() == pugi::node_element) {
                ++count;
                stack.push_back(child);
            }
        }
    }
    return count;
}

template <typename F>
double BestMilliseconds(int runs, F&& run)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
    }
    return best;
}

struct Measure {
    double ours;
    double pugi;
};

Measure Run(const std::string& folder, size_t bytes, const char* label)
{
    const std::string path = folder + "/bench-" + std::to_string(bytes) + ".xml";
    const std::string text = MakeDocument(bytes);
    platform::WriteFileAtomically(platform::Utf8ToWide(path), text);
    const std::wstring widePath = platform::Utf8ToWide(path);
    size_t oursCount = 0, pugiCount = 0;
    const int runs = bytes > 4'000'000 ? 5 : 15;
    Measure m;
    m.ours = BestMilliseconds(runs, [&] { oursCount = WalkOurs(widePath); });
    m.pugi = BestMilliseconds(runs, [&] { pugiCount = WalkPugi(path); });
    platform::RemoveFile(widePath);
    std::printf("%-5s %6.1f MB  %8zu elements  CXmlDocument %8.2f ms  pugixml %8.2f ms  ratio %.2f%s\n",
                label, text.size() / 1e6, oursCount, m.ours, m.pugi, m.ours / m.pugi,
                oursCount == pugiCount ? "" : "  (element counts differ!)");
    return m;
}

}  // namespace

int main()
{
    const std::wstring folder = platform::MakeTempFolder(L"kelvane-bench-xml-");
    if (folder.empty()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    const std::string native = platform::NativePath(folder);
    const Measure coldSmall = Run(native, 2'000'000, "cold");
    const Measure coldLarge = Run(native, 20'000'000, "cold");
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    const Measure small = Run(native, 2'000'000, "warm");
    const Measure large = Run(native, 20'000'000, "warm");
    platform::RemoveFolderTree(folder);
    std::printf("growth 2 MB -> 20 MB, cold: CXmlDocument %.2fx, pugixml %.2fx\n", coldLarge.ours / coldSmall.ours,
                coldLarge.pugi / coldSmall.pugi);
    const double growth = large.ours / small.ours;
    std::printf("growth 2 MB -> 20 MB, warm: CXmlDocument %.2fx, pugixml %.2fx (linear: 10x)\n", growth,
                large.pugi / small.pugi);
    const double coldRatio = coldLarge.ours / coldLarge.pugi, warmRatio = large.ours / large.pugi;
    std::printf("goal <= 2x pugixml at 20 MB: %s (cold %.2f, warm %.2f)\n",
                coldRatio <= 2.0 && warmRatio <= 2.0 ? "met" : "MISSED", coldRatio, warmRatio);
    std::printf("goal linear growth (warm, <= 12x): %s\n", growth <= 12.0 ? "met" : "MISSED");
    return 0;
}
