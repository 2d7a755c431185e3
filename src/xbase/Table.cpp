#include "xbase/Table.h"

namespace sw::xbase {

struct Table::Impl {
    std::string path;
    OpenMode mode = OpenMode::Exclusive;
    std::vector<FieldDef> fields;
};

namespace {
[[noreturn]] void notYet(const std::string& path) {
    throw Error(Error::Kind::Usage, path, "the table engine is not built yet");
}
}  // namespace

void Table::create(const std::string& path, const std::vector<FieldDef>&) { notYet(path); }
Table::Table(const std::string& path, OpenMode mode) : d_(std::make_unique<Impl>()) {
    d_->path = path;
    d_->mode = mode;
    notYet(path);
}
Table::~Table() = default;
Table::Table(Table&&) noexcept = default;
Table& Table::operator=(Table&&) noexcept = default;
const std::string& Table::path() const { notYet(d_->path); }
OpenMode Table::mode() const { notYet(d_->path); }
const std::vector<FieldDef>& Table::fields() const { notYet(d_->path); }
int Table::fieldIndex(std::string_view) const { notYet(d_->path); }
bool Table::hasMemoFile() const { notYet(d_->path); }
void Table::setDeleted(bool) { notYet(d_->path); }
bool Table::deletedSkipped() const { notYet(d_->path); }
int Table::indexTag(const std::string&, const std::string&) { notYet(d_->path); }
int Table::tagArea(std::string_view) const { notYet(d_->path); }
void Table::setOrder(int) { notYet(d_->path); }
int Table::indexOrd() const { notYet(d_->path); }
std::vector<std::string> Table::tagNames() const { notYet(d_->path); }
std::string Table::tagExpression(int) const { notYet(d_->path); }
std::string Table::indexName() const { notYet(d_->path); }
void Table::closeIndexes() { notYet(d_->path); }
void Table::goTop() { notYet(d_->path); }
void Table::goBottom() { notYet(d_->path); }
void Table::skip(std::int64_t) { notYet(d_->path); }
void Table::go(std::uint32_t) { notYet(d_->path); }
bool Table::seek(std::string_view) { notYet(d_->path); }
bool Table::eof() const { notYet(d_->path); }
bool Table::bof() const { notYet(d_->path); }
std::uint32_t Table::recNo() const { notYet(d_->path); }
std::uint32_t Table::recCount() const { notYet(d_->path); }
std::string Table::getString(std::string_view) const { notYet(d_->path); }
std::string Table::getTrimString(std::string_view) const { notYet(d_->path); }
double Table::getNumber(std::string_view) const { notYet(d_->path); }
bool Table::getLogical(std::string_view) const { notYet(d_->path); }
std::string Table::getMemo(std::string_view) const { notYet(d_->path); }
bool Table::isBlank(std::string_view) const { notYet(d_->path); }
bool Table::deleted() const { notYet(d_->path); }
std::string Table::getRaw(std::string_view) const { notYet(d_->path); }
void Table::appendBlank() { notYet(d_->path); }
void Table::putString(std::string_view, std::string_view) { notYet(d_->path); }
void Table::putNumber(std::string_view, double) { notYet(d_->path); }
void Table::putLogical(std::string_view, bool) { notYet(d_->path); }
void Table::putMemo(std::string_view, std::string_view) { notYet(d_->path); }
void Table::putRaw(std::string_view, std::string_view) { notYet(d_->path); }
void Table::putRecord() { notYet(d_->path); }
void Table::cancel() { notYet(d_->path); }
void Table::deleteRecord() { notYet(d_->path); }
void Table::recall() { notYet(d_->path); }
void Table::pack() { notYet(d_->path); }
void Table::reindex() { notYet(d_->path); }
CheckResult Table::check() const { notYet(d_->path); }
void Table::flush() { notYet(d_->path); }
void Table::close() {}
bool Table::isOpen() const { return false; }

}  // namespace sw::xbase
