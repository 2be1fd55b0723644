// SPDX-License-Identifier: GPL-3.0-or-later

#include "GeneratedLibrary.h"

#include "platform/text/HanReading.h"

#include <random>

namespace {

const QStringList kConditions =
    QStringLiteral(
        "心源性休克 急性心肌梗死 冠心病 高血压 糖尿病 心力衰竭 心房颤动 肺栓塞 脑卒中 慢性肾脏病 肝硬化 急性胰腺炎 "
        "社区获得性肺炎 脓毒症 支气管哮喘 慢阻肺 乳腺癌 肺癌 胃癌 结直肠癌 白血病 淋巴瘤 缺铁性贫血 骨质疏松 "
        "类风湿关节炎 痛风 甲状腺结节 抑郁症 帕金森病 癫痫 偏头痛 新生儿黄疸 妊娠期高血压 儿童哮喘 老年痴呆 "
        "急性肾损伤 消化道出血 主动脉夹层 肺动脉高压 心肌炎 系统性红斑狼疮 多发性硬化 颅内动脉瘤 前列腺增生")
        .split(u' ');
const QStringList kTopics =
    QStringLiteral(
        "诊断 治疗 鉴别诊断 临床表现 影像学评估 超声诊断 介入治疗 外科手术 微创手术 药物治疗 抗凝治疗 抗血小板治疗 "
        "免疫治疗 靶向治疗 康复 护理 长期管理 风险评估 一级预防 早期筛查 新进展 指南解读 专家共识 病例讨论 "
        "循证医学证据 危险因素 并发症处理 预后 发病机制 流行病学 营养支持 液体复苏 血流动力学监测 生物标志物")
        .split(u' ');
const QStringList kLatin{"ECMO", "PCI", "CT", "MRI", "ICU", "COPD", "CRRT", "DNA", "PET-CT", "2013"};
const QStringList kSpecialties =
    QStringLiteral("心血管病 呼吸病 消化病 肾脏病 内分泌 神经病学 肿瘤学 儿科学 妇产科学 重症医学 急诊医学 麻醉学 "
                   "放射学 超声医学 检验医学 感染病 风湿病 血液病 老年医学 全科医学 护理学 康复医学 骨科 眼科")
        .split(u' ');
const QStringList kPlaces =
    QStringLiteral("全国 华北 华东 华南 西南 东北 西北 北京 上海 广州 成都 武汉 长沙 重庆").split(u' ');
const QString kSurnames = QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘");
const QString kGiven = QStringLiteral("伟芳娜敏静丽强磊军洋勇艳杰涛明超秀兰霞平刚桂英华玉萍红娥玲芬燕彬飞鹏辉建国文");
const QStringList kRanks{QStringLiteral("教授"), QStringLiteral("主任医师"), QStringLiteral("副教授"), QString()};
const QStringList kHospitals =
    QStringLiteral("北京协和医院 四川大学华西医院 复旦大学附属中山医院 中南大学湘雅医院 浙江大学医学院附属第一医院 "
                   "中山大学附属第一医院 武汉同济医院 解放军总医院 上海瑞金医院 阜外医院")
        .split(u' ');

class Pick {
public:
    explicit Pick(unsigned seed) : random_(seed) { }
    int below(qsizetype n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    const QString& from(const QStringList& list) { return list.at(below(list.size())); }
    QChar from(const QString& characters) { return characters.at(below(characters.size())); }

private:
    std::mt19937 random_;
};

QString lectureTitle(Pick& pick)
{
    const QString& condition = pick.from(kConditions);
    switch (pick.below(5)) {
    case 0:
        return condition + QStringLiteral("的") + pick.from(kTopics);
    case 1:
        return condition + pick.from(kTopics) + QStringLiteral("与") + pick.from(kTopics);
    case 2:
        return pick.from(kLatin) + QStringLiteral("在") + condition + QStringLiteral("中的应用");
    case 3:
        return condition + QStringLiteral("合并") + pick.from(kConditions) + QStringLiteral("的") + pick.from(kTopics);
    default:
        return condition + pick.from(kTopics) + QStringLiteral("（") + pick.from(kLatin) + QStringLiteral("）");
    }
}

}  // namespace

GeneratedLibrary generateLibrary(int conferences, int lecturesPerConference, unsigned seed)
{
    Pick pick(seed);
    GeneratedLibrary library;
    library.lectures.reserve(static_cast<std::size_t>(conferences) * lecturesPerConference);
    for (int c = 0; c < conferences; ++c) {
        library.conferences << QStringLiteral("%1年%2%3学术会议（第%4届）")
                                   .arg(2000 + pick.below(14))
                                   .arg(pick.from(kPlaces), pick.from(kSpecialties))
                                   .arg(1 + pick.below(30));
        for (int l = 0; l < lecturesPerConference; ++l) {
            QString speaker = QString(pick.from(kSurnames)) + pick.from(kGiven);
            if (pick.below(2) == 0)
                speaker += pick.from(kGiven);
            library.lectures.push_back({lectureTitle(pick), speaker + pick.from(kRanks),
                                        pick.from(kHospitals) + QStringLiteral(" 第%1讲").arg(l + 1)});
        }
    }
    return library;
}

QStringList sampleQueries(const QStringList& texts, QueryKind kind, int length, int count, unsigned seed)
{
    Pick pick(seed);
    QStringList queries;
    while (queries.size() < count) {
        const QString& text = pick.from(texts);
        const int start = pick.below(text.size());
        const QString run = text.mid(start, length);
        if (run.size() < length || std::any_of(run.cbegin(), run.cend(), [](QChar c) {
                return QChar::script(c.unicode()) != QChar::Script_Han;
            }))
            continue;
        QString query;
        for (const QChar c : run) {
            const PinyinSyllable syllable = pinyinOf(c.unicode());
            if (kind == QueryKind::Chinese)
                query += c;
            else if (kind == QueryKind::Pinyin)
                query += syllable.letters();
            else
                query += syllable.letters().front();
        }
        queries << query.left(length);
    }
    return queries;
}
