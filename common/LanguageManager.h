#pragma once
// Texts by STR_ key, product facts, addresses, the domain value and the reading direction,
// all from the product pack unpacked into work folder + "language/". Filled once at start,
// read-only afterwards (so workers may read it without a lock).
#include <map>
#include <string>

class LanguageManager {
public:
    using TextTable = std::map<std::wstring, std::wstring>;

    // Clears the domain and the direction, then chooses the language and loads product facts,
    // addresses and texts from folder (which ends in "/").
    void Init(const std::wstring& strFolder);

    void InitCurrentLanguage();
    void LoadProductInfo();
    void LoadUrlInfo();
    void LoadTexts();

    // Missing keys answer an empty text.
    std::wstring GetText(const std::wstring& strKey) const;
    std::wstring GetDownloadUrl() const;
    std::wstring GetLicenceUrl() const;
    std::wstring GetInstalledUrl() const;
    // "Norvane/Norvane Vellumpod/": each level with its separator, empty levels left out.
    std::wstring GetProductSubFolder() const;
    std::wstring GetProductExePath() const;
    std::wstring GetExeName() const;
    std::wstring GetGaTitle() const;
    std::wstring GetLicenceColor() const;
    std::wstring GetProductName() const;
    // "Norvane" when the pack names no brand.
    std::wstring GetBrandName() const;
    // True unless STR_RUN_AS_ADMIN is exactly "0".
    bool IsRunAsAdmin() const;
    const std::wstring& GetLanguageName() const { return m_strLanguageName; }
    const std::wstring& GetFolder() const { return m_strFolder; }
    // The user interface language id that chose the language, e.g. "1033".
    const std::wstring& GetLanguageCode() const { return m_strLanguageCode; }
    void SetDomain(const std::wstring& strDomain) { m_strDomain = strDomain; }
    const std::wstring& GetDomain() const { return m_strDomain; }
    bool IsRightToLeft() const { return m_bRightToLeft; }
    int GetDownloadRatio() const { return 80; }
    int GetReadFileTimeout() const { return 1500; }

    // The 18 texts that stand wherever the pack has none.
    static const TextTable& BuiltInTexts();

private:
    std::wstring ProductValue(const std::wstring& strKey) const;
    std::wstring AddressValue(const std::wstring& strKey) const;
    std::wstring WithDomain(const std::wstring& strAddress) const;

    TextTable m_mapTexts;
    TextTable m_mapAddresses;
    TextTable m_mapProduct;
    std::wstring m_strFolder;
    std::wstring m_strLanguageName = L"English";
    std::wstring m_strLanguageCode;
    std::wstring m_strDomain;
    bool m_bRightToLeft = false;
};

// Replaces every occurrence of strFrom in strText, continuing after each inserted text.
// Answers the number of replacements.
int ReplaceAll(std::wstring& strText, const std::wstring& strFrom, const std::wstring& strTo);
