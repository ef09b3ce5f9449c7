#pragma once
// The program's small XML document: the whole document is one text plus an
// index of its elements, walked with three remembered positions (parent,
// main, child) instead of node objects. Loading detects the encoding (byte
// order mark, declaration, UTF-8 test, legacy charset) and saving writes the
// declared encoding back. What a load or save met is kept in a result text of
// XML-like records (GetResult).
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CXmlDocument {
public:
    CXmlDocument();
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // Replaces the document text and parses it; starts a new document (no
    // byte order mark). True when the text is well formed with one root.
    bool SetDocumentText(std::wstring_view text = {});

    // True only when the file was read and holds a well-formed document with
    // exactly one root element. Positions are at the top afterwards.
    bool LoadFile(const std::wstring& path);
    // Writes the document in its declared encoding (UTF-8 when none), with
    // the byte order mark it was loaded with. The file is replaced whole.
    bool SaveFile(const std::wstring& path);

    // LoadFile and SaveFile without the file: the bytes decoded and parsed,
    // and the bytes a save would write.
    bool LoadFromBytes(std::string_view bytes);
    bool SaveToBytes(std::string& bytes);

    void Rewind();
    // Next sibling after the main position (or the parent's first child when
    // there is no main position) named name; any element when name is empty.
    bool FindElement(std::wstring_view name = {});
    // Next child of the main element after the child position; finds the main
    // element first when there is none (so after Rewind it looks in the root).
    bool FindChildElement(std::wstring_view name = {});
    bool EnterElement();
    bool LeaveElement();

    // Adds an element after the main element, or as the last child of the
    // parent position when there is none; it becomes the main position.
    bool AddElement(std::wstring_view name, std::wstring_view text = {});
    std::wstring GetAttribute(std::wstring_view name) const;
    bool SetAttribute(std::wstring_view name, std::wstring_view value);
    // Text of the main element (CDATA sections raw); empty when it has child
    // elements.
    std::wstring GetElementText() const;
    std::wstring GetTagName() const;  // name of the main element

    std::wstring GetDocumentText() const;
    bool IsWellFormed() const;
    const std::wstring& GetResult() const { return m_result; }

    // Byte order mark kept from the load (the save writes it again).
    enum BomFlag : uint32_t { kBomUtf8 = 1, kBomUtf16Le = 2, kBomUtf16Be = 4 };
    uint32_t GetBomFlags() const { return m_bomFlags; }

    static std::wstring EscapeText(std::wstring_view text);
    static std::wstring EscapeAttribute(std::wstring_view value);
    static std::wstring Unescape(std::wstring_view text);
    // "<![CDATA[" text "]]>", with each "]]>" inside split across two sections.
    static std::wstring MakeCdataSection(std::wstring_view text);

    // The encoding named in a document's head: the XML declaration's
    // encoding, or an HTML head's meta charset; empty when none.
    static std::wstring DeclaredEncoding(std::wstring_view head);

private:
    struct ElementRecord {
        size_t start = 0;           // offset of '<'
        size_t length = 0;          // through the end tag, or the whole empty-element tag
        size_t startTagLength = 0;
        uint32_t endTagLength = 0;  // 0 for an empty element and for one never ended
        uint32_t flags = 0;
        uint32_t level = 0;
        uint32_t parent = 0;
        uint32_t firstChild = 0;
        uint32_t lastChild = 0;
        uint32_t next = 0;
        uint32_t prev = 0;
    };
    enum ElementFlag : uint32_t { kEmptyElement = 1, kIllFormed = 2 };

    // Records live in blocks of 65536: index = block << 16 | slot.
    static constexpr uint32_t kBlockBits = 16;
    static constexpr uint32_t kBlockSize = 1u << kBlockBits;

    ElementRecord& Rec(uint32_t i) { return m_blocks[i >> kBlockBits][i & (kBlockSize - 1)]; }
    const ElementRecord& Rec(uint32_t i) const { return m_blocks[i >> kBlockBits][i & (kBlockSize - 1)]; }
    uint32_t NewRecord();
    void ResetIndex();
    void LinkAsLastChild(uint32_t parent, uint32_t child);
    void LinkAfter(uint32_t sibling, uint32_t child);

    class Parser;
    void Parse();
    // Takes the file's bytes over; UTF-8 without faults becomes the
    // document text as it is, without a copy.
    bool DecodeAndParse(std::string&& bytes);

    bool NameIs(uint32_t element, std::string_view name) const;
    std::string_view NameOf(uint32_t element) const;
    std::string_view StartTagOf(uint32_t element) const;

    // Text insertion and replacement with the index kept in step. element is
    // the innermost element holding the edited range (0 for the document).
    void EditText(uint32_t element, size_t at, size_t removed, std::string_view inserted);
    void ShiftSubtree(uint32_t element, ptrdiff_t delta);

    void ClearResult() { m_result.clear(); }
    void AddResult(std::wstring_view word, std::initializer_list<std::pair<std::wstring_view, std::wstring>> attributes = {});

    // The document as UTF-8, whatever the file's encoding: a quarter of the
    // size of wide text here, so even a large set description costs about
    // its file size.
    std::string m_text;
    std::vector<std::vector<ElementRecord>> m_blocks;
    uint32_t m_count = 0;
    uint32_t m_topLevelCount = 0;
    bool m_illFormed = false;

    uint32_t m_parent = 0;
    uint32_t m_main = 0;
    uint32_t m_child = 0;

    uint32_t m_bomFlags = 0;
    std::wstring m_result;
};
