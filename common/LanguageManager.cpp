#include "common/LanguageManager.h"

#include <utility>

#include "common/SystemQueries.h"
#include "log/Log.h"

namespace {

constexpr const wchar_t* kDefaultLanguage = L"English";
constexpr const wchar_t* kRightToLeftLanguage = L"Arabic";
constexpr const wchar_t* kDefaultBrand = L"Norvane";
constexpr const wchar_t* kDomainKeyMarker = L"key=";
constexpr const wchar_t* kDomainParameter = L"&custom=";

// The tables fall back on their own when a file is missing, empty or without its section; the
// log says why.
void ReadPackSection(const std::wstring& strFile, const wchar_t* szSection, LanguageManager::TextTable& table) {
    if (!FileCanBeRead(strFile)) {
        LOG_INFOW(L"ERR: cannot read %s", strFile.c_str());
        return;
    }
    LanguageManager::TextTable section;
    ReadIniSection(strFile, szSection, section);
    if (section.empty()) {
        LOG_INFOW(L"ERR: no [%s] entries in %s", szSection, strFile.c_str());
        return;
    }
    for (auto& [strKey, strValue] : section) table.insert_or_assign(strKey, std::move(strValue));
}

}  // namespace

int ReplaceAll(std::wstring& strText, const std::wstring& strFrom, const std::wstring& strTo) {
    if (strFrom.empty()) return 0;
    int nCount = 0;
    std::size_t nPos = strText.find(strFrom);
    while (nPos != std::wstring::npos) {
        strText.replace(nPos, strFrom.size(), strTo);
        ++nCount;
        nPos = strText.find(strFrom, nPos + strTo.size());
    }
    return nCount;
}

const LanguageManager::TextTable& LanguageManager::BuiltInTexts() {
    static const TextTable kTexts = {
        {L"STR_INSTALL", L"Install"},
        {L"STR_BROWSE", L"Browse"},
        {L"STR_LISENCE", L"I've read and agreed to {c COLOR}BRAND License Agreement{/c}"},
        {L"STR_CUSTOMIZE_INSTALL", L"Customize Installation"},
        {L"STR_INSTALL_PATH", L"Installation Path"},
        {L"STR_SELECT_FOLDER", L"Select a location to install the program"},
        {L"STR_STORAGE", L"Insuficient storage. Storage required:"},
        {L"STR_PATH_INVALID", L"The installation path is invalid."},
        {L"STR_INSTALLING", L"Installing..."},
        {L"STR_HIDE", L"Hide"},
        {L"STR_MESSAGEBOX_TITLE", L"PRODUCT Setup"},
        {L"STR_NETWORK_ERROR", L"Network error. Please check your network settings."},
        {L"STR_OPERATE_TIP",
         L"Click Abort to cancel installation, Retry to try again, or Ignore to download via browser."},
        {L"STR_SOFT_RUN",
         L"PRODUCT is running. Continuing installation will forcely quit the program. Are you sure to install?"},
        {L"STR_CLOSE_TIP1", L"Are you sure you want to quit?"},
        {L"STR_CLOSE_TIP2", L"Installation is in progress. Are you sure you want to quit?"},
        {L"STR_START", L"Start\u00A0Now"},
        {L"STR_MB", L"MB"},
    };
    return kTexts;
}

void LanguageManager::Init(const std::wstring& strFolder) {
    m_strDomain.clear();
    m_bRightToLeft = false;
    m_mapProduct.clear();
    m_mapAddresses.clear();
    m_strFolder = strFolder;
    InitCurrentLanguage();
    LoadProductInfo();
    LoadUrlInfo();
    LoadTexts();
}

void LanguageManager::InitCurrentLanguage() {
    m_strLanguageName = kDefaultLanguage;
    m_strLanguageCode = GetUILanguageCode();
    LOG_INFOW(L"Language Code:%s", m_strLanguageCode.c_str());
    const std::wstring strName = ReadIniString(m_strFolder + L"language.ini", L"Language", m_strLanguageCode);
    if (!strName.empty()) m_strLanguageName = strName;
    m_bRightToLeft = m_strLanguageName == kRightToLeftLanguage;
}

void LanguageManager::LoadProductInfo() {
    ReadPackSection(m_strFolder + L"productInfo.ini", L"PRODUCT", m_mapProduct);
}

void LanguageManager::LoadUrlInfo() {
    ReadPackSection(m_strFolder + m_strLanguageName + L"/UrlInfo.ini", L"URL", m_mapAddresses);
}

void LanguageManager::LoadTexts() {
    m_mapTexts = BuiltInTexts();
    ReadPackSection(m_strFolder + m_strLanguageName + L"/text.ini", L"LANSTR", m_mapTexts);
    const std::wstring strProduct = GetProductName();
    const std::wstring strColour = GetLicenceColor();
    const std::wstring strBrand = GetBrandName();
    for (auto& [strKey, strText] : m_mapTexts) {
        ReplaceAll(strText, L"PRODUCT", strProduct);
        ReplaceAll(strText, L"COLOR", strColour);
        ReplaceAll(strText, L"BRAND", strBrand);
    }
}

std::wstring LanguageManager::GetText(const std::wstring& strKey) const {
    const auto it = m_mapTexts.find(strKey);
    return it == m_mapTexts.end() ? std::wstring() : it->second;
}

std::wstring LanguageManager::ProductValue(const std::wstring& strKey) const {
    const auto it = m_mapProduct.find(strKey);
    return it == m_mapProduct.end() ? std::wstring() : it->second;
}

std::wstring LanguageManager::AddressValue(const std::wstring& strKey) const {
    const auto it = m_mapAddresses.find(strKey);
    return it == m_mapAddresses.end() ? std::wstring() : it->second;
}

std::wstring LanguageManager::WithDomain(const std::wstring& strAddress) const {
    if (strAddress.empty() || m_strDomain.empty()) return strAddress;
    if (strAddress.find(kDomainKeyMarker) == std::wstring::npos) return strAddress;
    return strAddress + kDomainParameter + m_strDomain;
}

std::wstring LanguageManager::GetDownloadUrl() const {
    return AddressValue(IsWindows64Bit() ? L"STR_DOWN_URL_X64" : L"STR_DOWN_URL");
}

std::wstring LanguageManager::GetLicenceUrl() const { return WithDomain(AddressValue(L"STR_LICENCE_URL")); }

std::wstring LanguageManager::GetInstalledUrl() const { return WithDomain(AddressValue(L"STR_INSTALL_URL")); }

std::wstring LanguageManager::GetProductSubFolder() const {
    std::wstring strFolder;
    for (const wchar_t* szKey : {L"STR_DIR1_NAME", L"STR_DIR2_NAME"}) {
        const std::wstring strLevel = ProductValue(szKey);
        if (!strLevel.empty()) strFolder += strLevel + L"/";
    }
    return strFolder;
}

std::wstring LanguageManager::GetProductExePath() const { return GetProductSubFolder() + GetExeName(); }

std::wstring LanguageManager::GetExeName() const { return ProductValue(L"STR_EXE_NAME"); }

std::wstring LanguageManager::GetGaTitle() const { return ProductValue(L"STR_GA_TTTLE"); }

std::wstring LanguageManager::GetLicenceColor() const { return ProductValue(L"STR_LISENCE_COLOR"); }

std::wstring LanguageManager::GetProductName() const { return ProductValue(L"STR_PRODUCT_NAME"); }

std::wstring LanguageManager::GetBrandName() const {
    const std::wstring strBrand = ProductValue(L"STR_BRAND_NAME");
    return strBrand.empty() ? kDefaultBrand : strBrand;
}

bool LanguageManager::IsRunAsAdmin() const { return ProductValue(L"STR_RUN_AS_ADMIN") != L"0"; }
