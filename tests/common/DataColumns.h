#ifndef DATACOLUMNS_H
#define DATACOLUMNS_H

#include <QTest>

#include <tuple>

// Adds a test's columns, a type and a name each, and gives the function that adds a row of them: the types are
// said once, and a row's values are converted to them as a column expects.
template <typename... Types, typename... Names>
auto dataColumns(const Names&... names)
{
    static_assert(sizeof...(Types) == sizeof...(Names), "a name for every column");
    (QTest::addColumn<Types>(names), ...);
    return [](const char* tag, const Types&... values) { (QTest::newRow(tag) << ... << values); };
}

// The current row's values of the named columns, of the types the table gave them:
// `const auto [frames, keys] = fetchColumns<int, QString>("frames", "keys");`.
template <typename... Types, typename... Names>
std::tuple<Types...> fetchColumns(const Names&... names)
{
    static_assert(sizeof...(Types) == sizeof...(Names), "a name for every column");
    return std::tuple<Types...>(*static_cast<Types*>(QTest::qData(names, qMetaTypeId<Types>()))...);
}

#endif // DATACOLUMNS_H
